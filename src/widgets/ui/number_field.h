#pragma once
// Decimal fields of every dialog: a line edit read with ParseNumberField, a
// validator and a spin box that take the decimal point as well as the comma
// whatever the locale shows.

#include <QDoubleSpinBox>
#include <QValidator>
#include <optional>

class QLineEdit;

namespace nuv {

// The number the edit holds (point or comma, blanks around it); nullopt for
// anything else.
std::optional<double> NumberOf(const QLineEdit* edit);

// Lets through what may still become a number (NumberFieldPrefix).
class DecimalValidator : public QValidator {
  Q_OBJECT

 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

// A QDoubleSpinBox that reads "0.5" and "0,5" alike.
class DecimalSpinBox : public QDoubleSpinBox {
  Q_OBJECT

 public:
  using QDoubleSpinBox::QDoubleSpinBox;
  QValidator::State validate(QString& input, int& pos) const override;
  double valueFromText(const QString& text) const override;
};

}  // namespace nuv
