#include "map/ui/start_epicentre_dialog.h"

#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/user_prompts.h"

namespace nuv::map {

CStartEpicentreDlg::CStartEpicentreDlg(double lat, double lon, const StartEpicentre& previous,
                                       UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setWindowTitle("Введите параметры  гипоцентра");
  setObjectName("startEpicentreDialog");
  lat_ = new QLineEdit(QString::asprintf("%.4f", lat), this);
  lon_ = new QLineEdit(QString::asprintf("%.4f", lon), this);
  depth_ = new QLineEdit(this);
  if (previous.depth >= 0) depth_->setText(QString::number(previous.depth));
  time_ = new QDateTimeEdit(this);
  time_->setTimeSpec(Qt::UTC);
  time_->setDisplayFormat("dd/MM/yyyy HH:mm:ss");
  time_->setMinimumDateTime(QDateTime::fromSecsSinceEpoch(0, Qt::UTC));
  time_->setDateTime(QDateTime::fromSecsSinceEpoch(
      previous.originTime > 0 ? static_cast<qint64>(previous.originTime) : 0, Qt::UTC));
  comment_ = new QLineEdit(QString::fromStdString(previous.comment), this);
  comment_->setMaxLength(static_cast<int>(kCommentLength));

  auto* form = new QFormLayout;
  form->addRow("Широта", lat_);
  form->addRow("Долгота", lon_);
  form->addRow("Глубина(км.)", depth_);
  form->addRow("Время в очаге", time_);
  form->addRow("Комментарий", comment_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText("OK");
  buttons->button(QDialogButtonBox::Cancel)->setText("Отмена");
  QPushButton* clear = buttons->addButton("Очистить", QDialogButtonBox::ResetRole);
  connect(clear, &QPushButton::clicked, this, &CStartEpicentreDlg::Clear);
  connect(buttons, &QDialogButtonBox::accepted, this, &CStartEpicentreDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void CStartEpicentreDlg::Clear() {
  lat_->clear();
  lon_->clear();
  depth_->clear();
  comment_->clear();
  time_->setDateTime(QDateTime::fromSecsSinceEpoch(0, Qt::UTC));
}

void CStartEpicentreDlg::accept() {
  StartEpicentreFields fields;
  fields.lat = lat_->text().toStdString();
  fields.lon = lon_->text().toStdString();
  fields.depth = depth_->text().toStdString();
  fields.comment = comment_->text().toStdString();
  fields.originTime = static_cast<double>(time_->dateTime().toSecsSinceEpoch());
  std::string error;
  StartEpicentre start = ApplyStartEpicentreFields(fields, error);
  if (!error.empty()) {
    // A field that holds no usable number keeps the dialog open.
    prompts_.ShowError("Неверное значение: " + error);
    return;
  }
  result_ = start;
  QDialog::accept();
}

}  // namespace nuv::map
