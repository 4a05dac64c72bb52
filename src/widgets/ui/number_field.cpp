#include "widgets/ui/number_field.h"

#include <QLineEdit>

#include "platform/number_field.h"

namespace nuv {

std::optional<double> NumberOf(const QLineEdit* edit) {
  return ParseNumberField(edit->text().toStdString());
}

QValidator::State DecimalValidator::validate(QString& input, int&) const {
  const std::string text = input.toStdString();
  if (ParseNumberField(text)) return Acceptable;
  return NumberFieldPrefix(text) ? Intermediate : Invalid;
}

QValidator::State DecimalSpinBox::validate(QString& input, int& pos) const {
  // The box checks in its locale: the other separator is turned into the
  // locale's one before it looks.
  const QString point = locale().decimalPoint();
  for (QChar& c : input)
    if (c == '.' || c == ',') c = point.at(0);
  return QDoubleSpinBox::validate(input, pos);
}

double DecimalSpinBox::valueFromText(const QString& text) const {
  const QString bare = text.mid(prefix().size(), text.size() - prefix().size() - suffix().size());
  if (const auto value = ParseNumberField(bare.toStdString())) return *value;
  return QDoubleSpinBox::valueFromText(text);
}

}  // namespace nuv
