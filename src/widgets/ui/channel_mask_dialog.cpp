#include "widgets/ui/channel_mask_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace nuv {

ChannelMaskDialog::ChannelMaskDialog(const std::string& previous, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle("Выбрать каналы");
  edit_ = new QLineEdit(this);
  edit_->setObjectName("mask");
  edit_->setMaxLength(4);
  edit_->setText(QString::fromUtf8(previous.c_str()));
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("OK", QDialogButtonBox::AcceptRole)->setObjectName("ok");
  buttons->addButton("Отмена", QDialogButtonBox::RejectRole)->setObjectName("cancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Введите маску (*,?, [a-z])", this));
  layout->addWidget(edit_);
  layout->addWidget(buttons);
}

std::string ChannelMaskDialog::mask() const {
  return edit_->text().toUtf8().toStdString();
}

std::optional<std::string> AskChannelMask(QWidget* parent, const std::string& previous) {
  ChannelMaskDialog dialog(previous, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.mask();
}

}  // namespace nuv
