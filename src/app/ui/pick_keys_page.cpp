#include "app/ui/pick_keys_page.h"

#include <QFormLayout>
#include <QKeySequenceEdit>
#include <QLabel>

#include "platform/strformat.h"
#include "workstation/workstation.h"

namespace nuv {

CPickKeysPage::CPickKeysPage(Workstation& ws, QWidget* parent)
    : CSettingsPage(parent), ws_(ws), keys_(ReadPickKeys(ws.ini())) {
  setWindowTitle("Клавиши отметки фаз");
  auto* form = new QFormLayout(this);
  form->addRow(new QLabel("Фаза ставится под указателем мыши без диалога.", this));
  for (const PickKeyBinding& k : keys_) {
    auto* edit = new QKeySequenceEdit(QKeySequence(QString::fromStdString(k.key)), this);
    edit->setClearButtonEnabled(true);
    form->addRow(QString::fromStdString(k.phase), edit);
    edits_.push_back(edit);
  }
}

bool CPickKeysPage::Apply() {
  std::vector<PickKeyBinding> keys = keys_;
  for (size_t i = 0; i < keys.size(); ++i)
    keys[i].key = edits_[i]->keySequence().toString(QKeySequence::PortableText).toStdString();
  const std::string twice = DuplicatePickKey(keys);
  if (!twice.empty()) {
    ws_.prompts().ShowError(StrFormat("Клавиша %s назначена двум фазам", twice.c_str()));
    return true;
  }
  keys_ = keys;
  return WritePickKeys(ws_.ini(), keys);
}

}  // namespace nuv
