#include "workspace/ui/dsp_wnd.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <filesystem>

#include "platform/strformat.h"
#include "workspace/dsp_files.h"
#include "workspace/ui/dsp_canvas.h"
#include "workspace/ui/dsp_dialogs.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

// A chosen file name without an extension gets the default one.
std::string WithExtension(const std::string& path, const char* extension) {
  std::filesystem::path p(path);
  if (!p.has_extension()) p += std::string(".") + extension;
  return p.string();
}

}  // namespace

CDSP::CDSP(Workstation& ws, QWidget* parent)
    : QWidget(parent), ws_(ws), dialogs_(MakeQtDspDialogs(ws.prompts())) {
  setWindowTitle(QString::fromUtf8("ПОС"));
  canvas_ = new CDspCanvas(workspace_, this);
  canvas_->onActivate = [this](int index) { Activate(index); };
  canvas_->onStatus = [this](const QString& text) {
    if (statusText) statusText(text);
  };
  label_ = new QLabel(this);
  label_->setFixedWidth(32);
  edit_ = new QLineEdit(this);
  edit_->setMaxLength(255);
  edit_->setFixedHeight(20);
  connect(edit_, &QLineEdit::returnPressed, this, [this] { Enter(); });
  auto* strip = new QHBoxLayout;
  strip->setContentsMargins(2, 0, 2, 0);
  strip->addWidget(label_);
  strip->addWidget(edit_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(canvas_, 1);
  layout->addLayout(strip);
  Refresh();
}

CDSP::~CDSP() = default;

void CDSP::SetDialogs(std::unique_ptr<DspDialogs> dialogs) {
  dialogs_ = std::move(dialogs);
}

template <typename F>
auto CDSP::WithPanes(F&& run) {
  std::unique_ptr<FormulaDataSource> panes = paneSource ? paneSource() : nullptr;
  workspace_.SetPaneSource(panes.get());
  struct Reset {
    Workspace& w;
    ~Reset() { w.SetPaneSource(nullptr); }
  } reset{workspace_};
  return run();
}

void CDSP::SetFormula(const std::string& text) {
  edit_->setText(QString::fromStdString(text));
  edit_->setModified(true);
}

std::string CDSP::GetFormula() const {
  return edit_->text().toStdString();
}

// Only text the analyst changed is stored: the edit holds 255 characters, so
// storing it unchanged would cut a longer formula loaded from a worksheet.
void CDSP::StoreEditText() {
  if (edit_->isModified()) workspace_.SetFormula(workspace_.active(), GetFormula());
}

void CDSP::Enter() {
  if (workspace_.activeWindow().fixed) return;
  StoreEditText();
  WithPanes([this] { return workspace_.Recompute(workspace_.active()); });
  Refresh();
}

void CDSP::Activate(int index) {
  if (index == workspace_.active()) return;
  StoreEditText();
  workspace_.SetActive(index);
  Refresh();
}

void CDSP::Refresh() {
  const DspWindow& w = workspace_.activeWindow();
  label_->setText(QString("W%1").arg(workspace_.active()));
  edit_->setText(QString::fromStdString(w.formula));
  edit_->setReadOnly(w.fixed);
  canvas_->update();
}

void CDSP::View(const std::function<void(DspWindow&)>& change) {
  change(workspace_.activeWindow());
  canvas_->update();
}

void CDSP::ScaleCommand() {
  DspWindow& w = workspace_.activeWindow();
  if (w.dx == 0) return;
  if (auto scale = dialogs_->Scale(this, CurrentScale(w))) {
    ApplyScale(w, *scale);
    canvas_->update();
  }
}

void CDSP::PropertiesCommand() {
  if (auto step = dialogs_->Properties(this, workspace_.activeWindow())) {
    if (ValidTimeStep(*step)) workspace_.activeWindow().dx = *step;
    canvas_->update();
  }
}

void CDSP::AddWindow() {
  StoreEditText();
  if (workspace_.AddWindow()) Refresh();
}

void CDSP::DeleteWindow() {
  if (workspace_.DeleteWindow()) Refresh();
}

void CDSP::ToggleFixed() {
  StoreEditText();
  workspace_.ToggleFixed();
  Refresh();
}

void CDSP::OverlayCommand() {
  std::array<std::string, kDspOverlaySlots> current;
  for (size_t i = 0; i < current.size(); ++i)
    current[i] = workspace_.activeWindow().overlays[i].formula;
  auto formulas = dialogs_->Overlays(this, current);
  if (!formulas) return;
  WithPanes([&] {
    return workspace_.SetOverlays(std::vector<std::string>(formulas->begin(), formulas->end()));
  });
  canvas_->update();
}

std::string CDSP::StartFolder(const char* sub) const {
  std::filesystem::path folder(ws_.config().homeDir);
  if (sub) folder /= sub;
  return folder.string();
}

void CDSP::SaveData() {
  auto path = ws_.prompts().ChooseSaveFile("Сохранить данные в файл", kDataFileFilter,
                                           StartFolder(nullptr) + "/dspout.dat");
  if (!path) return;
  if (auto message = SaveDataFile(workspace_.activeWindow(), WithExtension(*path, "dat")))
    ws_.prompts().Message(*message, kDspCaption, PromptIcon::Exclamation, PromptButtons::Ok);
}

void CDSP::LoadData() {
  auto path = ws_.prompts().ChooseOpenFile("Загрузить данные из файла", kDataFileFilter,
                                           StartFolder(nullptr));
  if (!path) return;
  auto read = ReadDataFile(*path);
  if (auto* message = std::get_if<std::string>(&read)) {
    ws_.prompts().Message(*message, kDspCaption, PromptIcon::Exclamation, PromptButtons::Ok);
    return;
  }
  workspace_.LoadData(workspace_.active(), std::move(std::get<std::vector<double>>(read)), 1.0);
  Refresh();
}

void CDSP::SaveWorksheetCommand() {
  StoreEditText();
  auto path = ws_.prompts().ChooseSaveFile("Сохранить рабочую область", kWorksheetFilter,
                                           StartFolder("WORKSHEET") + "/worksheet.wks");
  if (!path) return;
  const std::string file = WithExtension(*path, "wks");
  if (!SaveWorksheet(workspace_, file))
    ws_.prompts().Message(StrFormat(kFileOpenError, file.c_str()), kDspCaption,
                          PromptIcon::Exclamation, PromptButtons::Ok);
}

void CDSP::LoadWorksheetCommand() {
  auto path = ws_.prompts().ChooseOpenFile("Загрузить рабочую область", kWorksheetFilter,
                                           StartFolder("WORKSHEET"));
  if (!path) return;
  auto read = ReadWorksheet(*path);
  if (auto* message = std::get_if<std::string>(&read)) {
    ws_.prompts().Message(*message, kDspCaption, PromptIcon::Exclamation, PromptButtons::Ok);
    return;
  }
  if (workspace_.ReplaceWindows(std::get<std::vector<std::string>>(read))) Refresh();
}

void CDSP::CopyToClipboard() {
  QGuiApplication::clipboard()->setText(
      QString::fromStdString(ClipboardText(workspace_.activeWindow())));
}

bool CDSP::CanPaste() const {
  return IsWorkspaceClipboard(QGuiApplication::clipboard()->text().toStdString());
}

void CDSP::PasteFromClipboard() {
  auto signal = ParseClipboard(QGuiApplication::clipboard()->text().toStdString());
  if (!signal) return;
  workspace_.LoadData(workspace_.active(), std::move(signal->samples), signal->dx);
  Refresh();
}

std::vector<FormulaName> CDSP::FormulaNames() {
  return WithPanes([this] { return workspace_.Names(); });
}

void CDSP::FormulaCommand() {
  if (editFormula) editFormula(*this);
}

}  // namespace nuv
