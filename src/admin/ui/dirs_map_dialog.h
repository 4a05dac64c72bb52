#pragma once
// "Cписок отображений каталогов" and its editor "Редактирование отображения
// каталогов": the directory map, written back to NUV.INI after each change.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QComboBox;
class QLineEdit;
class QTreeWidget;

namespace nuv {

class UserPrompts;
class Workstation;

// "Редактирование отображения каталогов": the catalogue name (offered from
// the CSS index; fixed when an existing pair is changed) and the local
// directory, with "..." opening the folder browser.
class CDirsMapEditDlg : public QDialog {
  Q_OBJECT

 public:
  CDirsMapEditDlg(const std::vector<std::string>& catalogues, const std::string& name,
                  const std::string& dir, bool existing, UserPrompts& prompts,
                  QWidget* parent = nullptr);

  QComboBox* nameBox() const { return name_; }
  QLineEdit* dirEdit() const { return dir_; }
  void Browse();
  void accept() override;
  std::string name() const;
  std::string dir() const;

 private:
  UserPrompts& prompts_;
  QComboBox* name_ = nullptr;
  QLineEdit* dir_ = nullptr;
};

class CDirsMapDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CDirsMapDlg(Workstation& ws, QWidget* parent = nullptr);

  // Opens the editor; tests replace it. nullopt when cancelled.
  std::function<std::optional<std::pair<std::string, std::string>>(
      const std::string& name, const std::string& dir, bool existing)>
      editPair;

  QTreeWidget* list() const { return list_; }
  void Add();     // "Добавить"
  void Change();  // "Изменить"
  void Delete();  // "Удалить"

 private:
  void Store(const std::string& name, const std::string& dir);
  void Fill(const std::string& current);
  void WriteBack();

  Workstation& ws_;
  QTreeWidget* list_ = nullptr;
};

}  // namespace nuv
