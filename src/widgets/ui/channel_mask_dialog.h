#pragma once
// "Выбрать каналы": one field for a channel-name mask (*, ? and [a-z]
// classes), at most 4 characters, preset to the previous mask.

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;

namespace nuv {

class ChannelMaskDialog : public QDialog {
  Q_OBJECT
 public:
  ChannelMaskDialog(const std::string& previous, QWidget* parent = nullptr);
  std::string mask() const;
  QLineEdit* edit() const { return edit_; }

 private:
  QLineEdit* edit_;
};

// The mask typed, or nullopt when cancelled.
std::optional<std::string> AskChannelMask(QWidget* parent, const std::string& previous);

}  // namespace nuv
