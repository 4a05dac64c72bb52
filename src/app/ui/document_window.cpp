#include "app/ui/document_window.h"

namespace nuv {

CDocumentWindow::CDocumentWindow(const QString& title, QWidget* parent) : QWidget(parent) {
  setWindowTitle(title);
  setMinimumSize(120, 80);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
}

}  // namespace nuv
