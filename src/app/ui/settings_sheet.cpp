#include "app/ui/settings_sheet.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/ui/pick_keys_page.h"
#include "platform/paths.h"
#include "platform/strformat.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
std::string S(const QString& text) {
  return text.toStdString();
}
const char* Flag(bool on) {
  return on ? "1" : "0";
}

constexpr const char* kChooseFolderTitle = "Выбрать каталог";

// The bytes of each text that NUV.INI gives back at the next start (the
// readers' buffer sizes less one).
constexpr size_t kDataDirKept = 99;
constexpr size_t kOutDirKept = 119;
constexpr size_t kBaseDirKept = 511;
constexpr size_t kLongTextKept = 4095;
constexpr size_t kPhaseSetKept = 511;

// The problem of a text that would not come back whole; none when it fits.
CSettingsPage::Problem TooLong(QLineEdit* edit, const std::string& value, size_t kept,
                               const char* field) {
  if (value.size() <= kept) return {};
  return {StrFormat("Текст поля \"%s\" длиннее %zu байт: в NUV.INI он сохранится не полностью. "
                    "Сократите его.",
                    field, kept),
          edit};
}

// The first problem of several checks.
CSettingsPage::Problem FirstOf(std::initializer_list<CSettingsPage::Problem> problems) {
  for (const CSettingsPage::Problem& problem : problems)
    if (!problem.message.empty()) return problem;
  return {};
}

// An edit with a "..." button that opens the folder browser on the edit's text.
QWidget* FolderRow(QLineEdit* edit, UserPrompts& prompts, QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* browse = new QPushButton("...", row);
  browse->setFixedWidth(32);
  layout->addWidget(edit, 1);
  layout->addWidget(browse);
  QObject::connect(browse, &QPushButton::clicked, edit, [edit, &prompts] {
    if (auto dir = prompts.ChooseFolder(kChooseFolderTitle, S(edit->text())))
      edit->setText(Q(*dir));
  });
  return row;
}

// The widgets that take the focus with Tab, in the order their layouts show them.
void CollectTabStops(QLayout* layout, std::vector<QWidget*>& out);

void CollectTabStops(QWidget* widget, std::vector<QWidget*>& out) {
  if (widget->focusPolicy() & Qt::TabFocus)
    out.push_back(widget);
  else if (widget->layout())
    CollectTabStops(widget->layout(), out);
}

void CollectTabStops(QLayoutItem* item, std::vector<QWidget*>& out) {
  if (!item) return;
  if (QWidget* widget = item->widget())
    CollectTabStops(widget, out);
  else if (QLayout* inner = item->layout())
    CollectTabStops(inner, out);
}

void CollectTabStops(QLayout* layout, std::vector<QWidget*>& out) {
  if (auto* form = qobject_cast<QFormLayout*>(layout)) {
    for (int row = 0; row < form->rowCount(); ++row)
      for (auto role : {QFormLayout::LabelRole, QFormLayout::FieldRole, QFormLayout::SpanningRole})
        CollectTabStops(form->itemAt(row, role), out);
    return;
  }
  for (int i = 0; i < layout->count(); ++i) CollectTabStops(layout->itemAt(i), out);
}

// Tab follows the page from top to bottom, each "..." right after its edit.
void OrderTabStops(QWidget* page) {
  std::vector<QWidget*> stops;
  if (page->layout()) CollectTabStops(page->layout(), stops);
  for (size_t i = 1; i < stops.size(); ++i) QWidget::setTabOrder(stops[i - 1], stops[i]);
}

QLabel* Buddy(const char* text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

std::string NormalizePhaseSet(const std::string& text) {
  std::string out;
  std::string name;
  auto flush = [&] {
    if (!name.empty()) out += name + ";";
    name.clear();
  };
  for (char c : text) {
    if (c == ',' || c == ';')
      flush();
    else if (c != ' ' && c != '\t')
      name.push_back(c);
  }
  flush();
  return out;
}

// ---------------------------------------------------------------------------
CWorkParamsPage::CWorkParamsPage(Workstation& ws, const SettingsContext& context, QWidget* parent)
    : CSettingsPage(parent), ws_(ws), context_(context) {
  setWindowTitle("Установки");
  const Config& config = ws.config();
  ProfileFile& ini = ws.ini();

  dataDirEdit = new QLineEdit(Q(config.dataDir), this);
  dataDirEdit->setMaxLength(static_cast<int>(kDataDirKept));
  shownDataDir_ = dataDirEdit->text();
  outDirEdit = new QLineEdit(Q(config.outDir), this);
  outDirEdit->setMaxLength(static_cast<int>(kOutDirKept));

  travelTimeSets = new QComboBox(this);
  const int total = ini.GetInt("GODOGRAPH", "Total#", 0);
  for (int i = 0; i < total; ++i)
    travelTimeSets->addItem(Q(ini.GetString("GODOGRAPH", StrFormat("NAME%d", i), "", 120)));
  if (config.travelTimeSet >= 0 && config.travelTimeSet < total) {
    travelTimeSets->setCurrentIndex(config.travelTimeSet);
    initialSet_ = config.travelTimeSet;
  }
  // Another set would change the meaning of the phases already picked.
  travelTimeSets->setEnabled(context.phaseCount == 0);

  auto* sourceBox = new QGroupBox("Загружать данные волновых форм", this);
  fromMainDb = new QRadioButton("из основной БД", sourceBox);
  fromCssDb = new QRadioButton("из вторичной БД в формате CSS ( таблица wfdisc)", sourceBox);
  useTend = new QCheckBox("Использовать поле TEND в таблице FILELIST", sourceBox);
  auto* sourceLayout = new QVBoxLayout(sourceBox);
  sourceLayout->addWidget(fromMainDb);
  sourceLayout->addWidget(fromCssDb);
  sourceLayout->addWidget(useTend);
  auto* sourceGroup = new QButtonGroup(this);
  sourceGroup->addButton(fromMainDb, 0);
  sourceGroup->addButton(fromCssDb, 1);
  const bool wfd = config.wfd && context.cssConnected;
  (wfd ? fromCssDb : fromMainDb)->setChecked(true);
  fromCssDb->setEnabled(context.cssConnected);
  useTend->setChecked(config.useTend);
  useTend->setEnabled(!wfd);
  connect(fromMainDb, &QRadioButton::toggled, useTend, &QCheckBox::setEnabled);

  saveToCssDb = new QCheckBox("Сохранять результаты обработки во вторичную БД", this);
  saveToCssDb->setChecked(config.saveToCssDb);
  saveToCssDb->setEnabled(context.cssConnected);

  imsRebPathEdit = new QLineEdit(Q(ini.GetString("DIR", "IMSREBPATH", "\\", 256)), this);
  imsRebPathEdit->setMaxLength(255);
  cssDataPathEdit = new QLineEdit(Q(ini.GetString("DIR", "CSSDATAPATH", "\\", 256)), this);
  cssDataPathEdit->setMaxLength(255);

  mainDbEdit = new QLineEdit(Q(context.mainConnectionString), this);
  mainDbEdit->setReadOnly(true);
  cssDbEdit = new QLineEdit(Q(context.cssConnected ? context.cssConnectionString : ""), this);
  cssDbEdit->setReadOnly(true);

  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
  UserPrompts& prompts = ws.prompts();
  form->addRow(Buddy("Каталог с &данными", dataDirEdit, this),
               FolderRow(dataDirEdit, prompts, this));
  form->addRow(Buddy("Каталог для записи &результатов обработки", outDirEdit, this),
               FolderRow(outDirEdit, prompts, this));
  form->addRow(Buddy("Каталог с &годографами", travelTimeSets, this), travelTimeSets);

  // One form for the whole page, so every field starts at the same column.
  form->addRow(sourceBox);
  form->addRow(saveToCssDb);
  form->addRow(
      Buddy("Базовый каталог для загрузки данных в формате &IMS REB", imsRebPathEdit, this),
      FolderRow(imsRebPathEdit, prompts, this));
  form->addRow(
      Buddy("Базовый каталог для загрузки данных в формате &CSS 3.0", cssDataPathEdit, this),
      FolderRow(cssDataPathEdit, prompts, this));
  form->addRow(Buddy("&Основная БД", mainDbEdit, this), mainDbEdit);
  form->addRow(Buddy("&Вторичная БД (CSS)", cssDbEdit, this), cssDbEdit);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addStretch();
}

CSettingsPage::Problem CWorkParamsPage::Check() const {
  return FirstOf({TooLong(dataDirEdit, S(dataDirEdit->text()), kDataDirKept, "Каталог с данными"),
                  TooLong(outDirEdit, S(outDirEdit->text()), kOutDirKept,
                          "Каталог для записи результатов обработки"),
                  TooLong(imsRebPathEdit, S(imsRebPathEdit->text()), kBaseDirKept,
                          "Базовый каталог для загрузки данных в формате IMS REB"),
                  TooLong(cssDataPathEdit, S(cssDataPathEdit->text()), kBaseDirKept,
                          "Базовый каталог для загрузки данных в формате CSS 3.0")});
}

bool CWorkParamsPage::Apply() {
  Config& config = ws_.config();
  ProfileFile& ini = ws_.ini();
  // The data directory is kept for the next start too; one given with DATA=
  // on the command line is written only when the analyst changed it here.
  const std::string dataDir = S(dataDirEdit->text());
  config.dataDir = NativePath(dataDir);
  bool saved = true;
  if (!config.dataDirFromCommandLine || dataDirEdit->text() != shownDataDir_)
    saved = ini.WriteString("DATA", "DIR", dataDir);
  shownDataDir_ = dataDirEdit->text();
  const std::string outDir = S(outDirEdit->text());
  config.outDir = NativePath(outDir);
  saved = ini.WriteString("OUT", "DIR", outDir) && saved;

  const int set = travelTimeSets->currentIndex();
  if (travelTimeSets->isEnabled() && set >= 0 && set != initialSet_) {
    config.travelTimeSet = set;
    config.travelTimeDir =
        NativePath(ini.GetString("GODOGRAPH", StrFormat("DIR%d", set), "\\", 120));
    saved = ini.WriteString("GODOGRAPH", "N#", std::to_string(set)) && saved;
    initialSet_ = set;
    if (context_.reloadTravelTimes) context_.reloadTravelTimes();
  }

  config.wfd = fromCssDb->isChecked() && context_.cssConnected;
  saved = ini.WriteString("DATABASE", "WFD", Flag(config.wfd)) && saved;

  const std::string cssPath = S(cssDataPathEdit->text());
  const std::string imsPath = S(imsRebPathEdit->text());
  config.cssDataPath = NativePath(cssPath);
  config.imsRebPath = NativePath(imsPath);
  saved = ini.WriteString("DIR", "CSSDATAPATH", cssPath) && saved;
  saved = ini.WriteString("DIR", "IMSREBPATH", imsPath) && saved;

  config.saveToCssDb = saveToCssDb->isChecked();
  saved = ini.WriteString("DATABASE", "SAVETOCSSDB", Flag(config.saveToCssDb)) && saved;
  config.useTend = useTend->isChecked();
  return ini.WriteString("DATABASE", "USE_TEND", Flag(config.useTend)) && saved;
}

// ---------------------------------------------------------------------------
CCss30OutputPage::CCss30OutputPage(Workstation& ws, QWidget* parent)
    : CSettingsPage(parent), ws_(ws) {
  setWindowTitle("Параметры сохранения данных в формате CSS 3.0");
  dirEdit = new QLineEdit(Q(ws.ini().GetString("CSS30DATAOUTPUT", "DIR", "\\", 4096)), this);
  dirEdit->setMaxLength(4095);
  auto* box = new QGroupBox("Формат данных", this);
  auto* boxLayout = new QVBoxLayout(box);
  format = new QButtonGroup(this);
  const char* texts[] = {"i4 - целое число. 4 байта. Порядок байт Intel.",
                         "f4 - число c плавающей точкой. 4 байта. Порядок байт Intel.",
                         "s4 - целое число. 4 байта. Порядок байт Sparc."};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(QString::fromUtf8(texts[i]), box);
    format->addButton(radio, i);
    boxLayout->addWidget(radio);
  }
  const int current = ws.config().cssOutFormat;
  format->button(current >= 0 && current <= 2 ? current : 0)->setChecked(true);

  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
  form->addRow(Buddy("Каталог для сохранения &даных", dirEdit, this),
               FolderRow(dirEdit, ws.prompts(), this));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(box);
  layout->addStretch();
}

CSettingsPage::Problem CCss30OutputPage::Check() const {
  return TooLong(dirEdit, S(dirEdit->text()), kLongTextKept, "Каталог для сохранения даных");
}

bool CCss30OutputPage::Apply() {
  const std::string dir = S(dirEdit->text());
  ws_.config().cssOutDir = NativePath(dir);
  ws_.config().cssOutFormat = format->checkedId();
  const bool saved = ws_.ini().WriteString("CSS30DATAOUTPUT", "DIR", dir);
  return ws_.ini().WriteString("CSS30DATAOUTPUT", "FORMAT", std::to_string(format->checkedId())) &&
         saved;
}

// ---------------------------------------------------------------------------
SetupCalpAmpOptions::SetupCalpAmpOptions(Workstation& ws, QWidget* parent)
    : CSettingsPage(parent), ws_(ws) {
  setWindowTitle("Расчет амплитуды по умолчанию");
  auto* box = new QGroupBox("Расчет амплитуды по умолчанию", this);
  auto* boxLayout = new QVBoxLayout(box);
  mode = new QButtonGroup(this);
  const char* texts[] = {"по АЧХ (FAP-файлы в каталоге Response)", "по Calib и Calper",
                         "по АЧХ из БД (нули/полюса или FAP)"};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(QString::fromUtf8(texts[i]), box);
    radio->setObjectName(QString("button%1").arg(1074 + i));
    mode->addButton(radio, i);
    boxLayout->addWidget(radio);
  }
  const int current = ws.config().amplitudeDefault;
  mode->button(current >= 0 && current <= 2 ? current : 0)->setChecked(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box);
  layout->addStretch();
}

bool SetupCalpAmpOptions::Apply() {
  ws_.config().amplitudeDefault = mode->checkedId();
  return ws_.ini().WriteString("AMPLITUDE", "DEFAULT", std::to_string(mode->checkedId()));
}

// ---------------------------------------------------------------------------
namespace {
const char* const kSetKeys[] = {"Teleseismic", "Regional", "Local", "Full"};
}

CPhaseSetPage::CPhaseSetPage(Workstation& ws, QWidget* parent) : CSettingsPage(parent), ws_(ws) {
  setWindowTitle("Наборы фаз");
  const char* names[] = {"&Телесейсмический", "&Региональный", "&Локальный", "&Полный"};
  auto* box = new QGroupBox("Набор фаз при расстановке", this);
  auto* grid = new QFormLayout(box);
  grid->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
  active = new QButtonGroup(this);
  for (int i = 0; i < 4; ++i) {
    auto* radio = new QRadioButton(QString::fromUtf8(names[i]), box);
    active->addButton(radio, i);
    if (i < 3) {
      setEdits[i] =
          new QLineEdit(Q(ws.ini().GetString("PRESELECTED PHASES", kSetKeys[i], "", 512)), box);
      setEdits[i]->setMaxLength(511);
      setEdits[i]->setToolTip("Имена фаз через \";\" или \",\"");
      grid->addRow(radio, setEdits[i]);
    } else {
      grid->addRow(radio, new QLabel("все фазы таблицы годографов", box));
    }
  }
  const int current = ws.config().preselectedPhases;
  active->button(current >= 0 && current <= 3 ? current : 3)->setChecked(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box);
  layout->addStretch();
}

CSettingsPage::Problem CPhaseSetPage::Check() const {
  const char* names[] = {"Телесейсмический", "Региональный", "Локальный"};
  for (int i = 0; i < 3; ++i) {
    Problem problem =
        TooLong(setEdits[i], NormalizePhaseSet(S(setEdits[i]->text())), kPhaseSetKept, names[i]);
    if (!problem.message.empty()) return problem;
  }
  return {};
}

bool CPhaseSetPage::Apply() {
  ProfileFile& ini = ws_.ini();
  bool saved = true;
  for (int i = 0; i < 3; ++i) {
    const std::string text = NormalizePhaseSet(S(setEdits[i]->text()));
    saved = ini.WriteString("PRESELECTED PHASES", kSetKeys[i], text) && saved;
  }
  const int set = active->checkedId();
  ws_.config().preselectedPhases = set;
  return ini.WriteString("PRESELECTED PHASES", "Selection", kSetKeys[set]) && saved;
}

// ---------------------------------------------------------------------------
CWaveformSetupPage::CWaveformSetupPage(WaveformDisplaySettings* settings, QWidget* parent)
    : CSettingsPage(parent), settings_(settings) {
  setWindowTitle("Установки окна \"Волновые формы\"");
  drawWaveforms = new QCheckBox("Рисовать &волновые формы", this);
  timeGrid = new QCheckBox("Рисовать &сетку времени", this);
  autoScale = new QCheckBox("&Автоматическое масштабирование графиков", this);
  const WaveformDisplaySettings shown = settings ? *settings : WaveformDisplaySettings{};
  drawWaveforms->setChecked(shown.drawWaveforms);
  timeGrid->setChecked(shown.timeGrid);
  autoScale->setChecked(shown.autoScale);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(drawWaveforms);
  layout->addWidget(timeGrid);
  layout->addWidget(autoScale);
  layout->addStretch();
}

bool CWaveformSetupPage::Apply() {
  if (!settings_) return true;
  settings_->drawWaveforms = drawWaveforms->isChecked();
  settings_->timeGrid = timeGrid->isChecked();
  settings_->autoScale = autoScale->isChecked();
  return true;  // held for the run, nothing to write
}

// ---------------------------------------------------------------------------
CExtProgFKSetup::CExtProgFKSetup(Workstation& ws, QWidget* parent)
    : CSettingsPage(parent), ws_(ws) {
  setWindowTitle("Настройка параметров внешней программы F-K анализа");
  programEdit = new QLineEdit(Q(ws.ini().GetString("FKEXT", "MODULE", "", 4096)), this);
  exchangeDirEdit = new QLineEdit(Q(ws.ini().GetString("FKEXT", "WFD", "", 4096)), this);

  auto* programRow = new QWidget(this);
  auto* programLayout = new QHBoxLayout(programRow);
  programLayout->setContentsMargins(0, 0, 0, 0);
  auto* browse = new QPushButton("...", programRow);
  browse->setFixedWidth(32);
  programLayout->addWidget(programEdit, 1);
  programLayout->addWidget(browse);
  connect(browse, &QPushButton::clicked, this, [this] {
    const std::string start = programEdit->text().isEmpty() ? "fk" : S(programEdit->text());
    if (auto file = ws_.prompts().ChooseOpenFile(
            "Открыть", "Программы (*.exe)|*.exe|Все файлы (*.*)|*.*||", start))
      programEdit->setText(Q(*file));
  });

  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
  form->addRow(Buddy("&Имя программы", programEdit, this), programRow);
  form->addRow(Buddy("&Каталог для обмена данными", exchangeDirEdit, this),
               FolderRow(exchangeDirEdit, ws.prompts(), this));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addStretch();
}

CSettingsPage::Problem CExtProgFKSetup::Check() const {
  return FirstOf({TooLong(programEdit, S(programEdit->text()), kLongTextKept, "Имя программы"),
                  TooLong(exchangeDirEdit, S(exchangeDirEdit->text()), kLongTextKept,
                          "Каталог для обмена данными")});
}

bool CExtProgFKSetup::Apply() {
  const bool saved = ws_.ini().WriteString("FKEXT", "MODULE", S(programEdit->text()));
  return ws_.ini().WriteString("FKEXT", "WFD", S(exchangeDirEdit->text())) && saved;
}

// ---------------------------------------------------------------------------
CSettingsSheet::CSettingsSheet(Workstation& ws, const SettingsContext& context,
                               bool waveformPageOnly, QWidget* parent)
    : QDialog(parent), prompts_(ws.prompts()), iniPath_(ws.ini().path().string()) {
  setWindowTitle("Установки");
  tabs_ = new QTabWidget(this);
  // Every page's tab stays in sight without scroll arrows: long titles are
  // shortened on the tab and shown whole in its tooltip.
  tabs_->setUsesScrollButtons(false);
  tabs_->setElideMode(Qt::ElideRight);
  if (waveformPageOnly) {
    pages_ = {new CWaveformSetupPage(context.waveform, this)};
  } else {
    pages_ = {new CWorkParamsPage(ws, context, this),
              new CCss30OutputPage(ws, this),
              new SetupCalpAmpOptions(ws, this),
              new CPhaseSetPage(ws, this),
              new CWaveformSetupPage(context.waveform, this),
              new CPickKeysPage(ws, this),
              new CExtProgFKSetup(ws, this)};
  }
  for (CSettingsPage* page : pages_) {
    const int index = tabs_->addTab(page, page->windowTitle());
    tabs_->setTabToolTip(index, page->windowTitle());
    OrderTabStops(page);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText("Отмена");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
  resize(640, 520);
}

void CSettingsSheet::accept() {
  // Nothing is written while a value would not come back as shown.
  for (CSettingsPage* page : pages_) {
    const CSettingsPage::Problem problem = page->Check();
    if (problem.message.empty()) continue;
    tabs_->setCurrentWidget(page);
    if (problem.field) problem.field->setFocus();
    prompts_.ShowError(problem.message);
    return;
  }
  bool saved = true;
  for (CSettingsPage* page : pages_) saved = page->Apply() && saved;
  // The settings hold for this run either way; the analyst learns that
  // they will not be there next time.
  if (!saved) prompts_.ShowError(SettingsNotSavedMessage(iniPath_));
  QDialog::accept();
}

}  // namespace nuv
