#include "app/ui/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/strformat.h"
#include "platform/user_prompts.h"

#ifndef NUV_VERSION_MAJOR
#define NUV_VERSION_MAJOR 5
#define NUV_VERSION_MINOR 2
#define NUV_VERSION_PATCH 0
#define NUV_VERSION_TWEAK 0
#endif

namespace nuv {

std::string ProgramVersionText() {
  return StrFormat("%d.%d%d%d", NUV_VERSION_MAJOR, NUV_VERSION_MINOR, NUV_VERSION_PATCH,
                   NUV_VERSION_TWEAK);
}

std::string VersionLine() {
  return StrFormat("Версия %s", ProgramVersionText().c_str());
}

std::string BuildDateLine() {
  // __DATE__ is "Mmm dd yyyy" with the day padded by a blank, __TIME__ "hh:mm:ss".
  return StrFormat("Дата последнего изменения %s %s", __DATE__, __TIME__);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About");
  auto* icon = new QLabel(this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  auto* title = new QLabel(QString::fromUtf8(kAppTitle), this);
  auto* version = new QLabel(QString::fromStdString(VersionLine()), this);
  version->setObjectName("versionText");
  auto* date = new QLabel(QString::fromStdString(BuildDateLine()), this);
  date->setObjectName("dateText");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* texts = new QVBoxLayout;
  texts->addWidget(title);
  texts->addWidget(version);
  texts->addWidget(date);
  auto* row = new QHBoxLayout;
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addLayout(texts, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace nuv
