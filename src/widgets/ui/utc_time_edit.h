#pragma once
// The date-and-time field of the archive dialogs: UTC, whole seconds,
// "dd/MM/yyyy HH:mm:ss".

#include <QDateTimeEdit>

namespace nuv {

inline QDateTimeEdit* NewUtcTimeEdit(QWidget* parent) {
  auto* edit = new QDateTimeEdit(parent);
  edit->setTimeSpec(Qt::UTC);
  edit->setDisplayFormat("dd/MM/yyyy HH:mm:ss");
  return edit;
}

}  // namespace nuv
