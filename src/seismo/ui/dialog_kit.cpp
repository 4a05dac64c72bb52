#include "seismo/ui/dialog_kit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

namespace nuv::seismo_ui {

QLineEdit* AddField(QFormLayout* form, const std::string& caption, const std::string& name,
                    bool readOnly) {
  auto* edit = new QLineEdit(form->parentWidget());
  edit->setObjectName(Q(name));
  edit->setReadOnly(readOnly);
  form->addRow(Q(caption), edit);
  return edit;
}

QPushButton* Button(QWidget* parent, const std::string& text) {
  auto* button = new QPushButton(Q(text), parent);
  button->setObjectName(Q(text));
  button->setAutoDefault(false);
  return button;
}

QComboBox* PhaseCombo(QFormLayout* form, const std::vector<std::string>& names) {
  auto* combo = new QComboBox(form->parentWidget());
  combo->setObjectName("phase");
  for (const std::string& name : names) combo->addItem(Q(name));
  form->addRow(Q("Ассоциировать с фазой"), combo);
  return combo;
}

}  // namespace nuv::seismo_ui
