#pragma once
// Small pieces shared by the dialogs of the seismological analyses: text
// conversion, numbers read from edits with the decimal point, and a form
// of captioned fields. Fields carry object names so that tests find them.

#include <QDialog>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "widgets/ui/number_field.h"

class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;

namespace nuv::seismo_ui {

inline QString Q(const std::string& text) {
  return QString::fromUtf8(text.c_str());
}
inline std::string S(const QString& text) {
  return text.toUtf8().toStdString();
}

// The number typed in an edit (decimal point or comma, blanks around
// allowed); nullopt for anything else.
using nuv::NumberOf;

// A line edit named `name` added to `form` under `caption`.
QLineEdit* AddField(QFormLayout* form, const std::string& caption, const std::string& name,
                    bool readOnly = false);
// A push button named after its text.
QPushButton* Button(QWidget* parent, const std::string& text);
// A combo box "Ассоциировать с фазой" filled with `names`.
QComboBox* PhaseCombo(QFormLayout* form, const std::vector<std::string>& names);

}  // namespace nuv::seismo_ui
