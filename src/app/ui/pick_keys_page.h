#pragma once
// The settings page "Клавиши отметки фаз": the key that places each phase
// at the pointer without the pick dialog.

#include <vector>

#include "app/ui/settings_sheet.h"
#include "waveview/pick_keys.h"

class QKeySequenceEdit;

namespace nuv {

class CPickKeysPage : public CSettingsPage {
  Q_OBJECT

 public:
  explicit CPickKeysPage(Workstation& ws, QWidget* parent = nullptr);
  QKeySequenceEdit* edit(int i) const { return edits_[static_cast<size_t>(i)]; }
  // Writes the keys; a key given to two phases is refused with a message
  // and the old keys stay.
  bool Apply() override;

 private:
  Workstation& ws_;
  std::vector<PickKeyBinding> keys_;
  std::vector<QKeySequenceEdit*> edits_;
};

}  // namespace nuv
