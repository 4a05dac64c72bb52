#pragma once
// A permanent document window of the frame whose own subsystem is not part
// of this build yet: it keeps its title and menus (their commands show
// disabled) until its real window takes its place.

#include <QWidget>

#include "widgets/ui/command_target.h"

namespace nuv {

class CDocumentWindow : public QWidget, public CommandTarget {
  Q_OBJECT
 public:
  explicit CDocumentWindow(const QString& title, QWidget* parent = nullptr);

  bool HandlesCommand(int) const override { return false; }
  void OnCommand(int) override {}
};

}  // namespace nuv
