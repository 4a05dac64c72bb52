#pragma once
// The column of buttons beside the lists of the administration dialogs:
// the actions from the top, the closing button at the bottom.

#include <QPushButton>
#include <QVBoxLayout>
#include <initializer_list>
#include <vector>

namespace nuv {

// Buttons with the given texts in a column; `buttons` receives them in order.
inline QVBoxLayout* SideButtons(QWidget* parent, std::initializer_list<const char*> actions,
                                const char* closing, std::vector<QPushButton*>& buttons) {
  auto* column = new QVBoxLayout;
  for (const char* text : actions) {
    buttons.push_back(new QPushButton(QString::fromUtf8(text), parent));
    column->addWidget(buttons.back());
  }
  column->addStretch();
  buttons.push_back(new QPushButton(QString::fromUtf8(closing), parent));
  column->addWidget(buttons.back());
  for (QPushButton* button : buttons) button->setAutoDefault(false);
  return column;
}

}  // namespace nuv
