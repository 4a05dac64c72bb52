#include "waveview/ui/channel_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/strformat.h"
#include "platform/time_base.h"
#include "waveview/channel_list.h"
#include "widgets/ui/channel_mask_dialog.h"
#include "widgets/ui/number_field.h"
#include "workstation/workstation.h"

namespace nuv {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

std::string S(const QString& s) {
  return s.toStdString();
}

constexpr const char* kBadTime = "Введено ошибочное время";

std::vector<std::pair<std::string, std::string>> NetworkPairs(Workstation& ws) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const SeismoNetwork& n : ws.networks()) out.emplace_back(n.name, n.list);
  return out;
}

void AddNodes(QTreeWidgetItem* parent, const StationTreeNode& node) {
  auto* item = new QTreeWidgetItem(parent, QStringList{Q(node.text)});
  item->setData(0, kStationRole, node.station);
  item->setData(0, kChannelRole, node.channel);
  for (const StationTreeNode& child : node.children) AddNodes(item, child);
}

QLineEdit* MaskedEdit(const char* id, const char* mask, const char* text, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(id);
  edit->setInputMask(mask);
  edit->setText(text);
  return edit;
}

QPushButton* Button(const char* id, const char* text, QWidget* parent) {
  auto* b = new QPushButton(QString::fromUtf8(text), parent);
  b->setObjectName(id);
  b->setAutoDefault(false);
  return b;
}

// The date, start time and length fields with their labels (Alt+Д, Alt+В, Alt+Л).
QFormLayout* TimeFields(QLineEdit* date, QLineEdit* time, QLineEdit* length) {
  auto* fields = new QFormLayout;
  fields->addRow(QString::fromUtf8("&Дата"), date);
  fields->addRow(QString::fromUtf8("&Время"), time);
  fields->addRow(QString::fromUtf8("Д&лительность"), length);
  return fields;
}

// The window in the date, time and length fields, when they hold a valid one.
std::optional<ArchiveSegment> TypedWindow(const QLineEdit* date, const QLineEdit* time,
                                          const QLineEdit* length) {
  SelectionWindow w;
  if (!StoreSelectionFields(w, S(date->text()), S(time->text()), S(length->text())))
    return std::nullopt;
  return ArchiveSegment{w.StartEpoch(), w.LengthSeconds()};
}

void ShowWindow(QLineEdit* date, QLineEdit* time, QLineEdit* length, double start, double seconds) {
  SelectionWindow w;
  w.SetStartEpoch(start);
  w.SetLengthSeconds(seconds);
  date->setText(Q(DateFieldText(w)));
  time->setText(Q(TimeFieldText(w)));
  length->setText(Q(LengthFieldText(w)));
}

int ItemStation(const QTreeWidgetItem* item) {
  return item ? item->data(0, kStationRole).toInt() : -1;
}

int ItemChannel(const QTreeWidgetItem* item) {
  return item ? item->data(0, kChannelRole).toInt() : -1;
}

}  // namespace

void FillStationTree(QTreeWidget* tree, Workstation& ws, bool withChannels) {
  tree->clear();
  for (const StationTreeNode& root :
       BuildStationTree(ws.stations(), NetworkPairs(ws), withChannels)) {
    auto* item = new QTreeWidgetItem(tree, QStringList{Q(root.text)});
    item->setData(0, kStationRole, -1);
    item->setData(0, kChannelRole, -1);
    for (const StationTreeNode& child : root.children) AddNodes(item, child);
  }
}

std::string CSelectChannelsDlg::lastPattern_;

CSelectChannelsDlg::CSelectChannelsDlg(Workstation& ws, SelectionMatrix& matrix, QWidget* parent)
    : QDialog(parent), ws_(ws), matrix_(matrix) {
  setWindowTitle(QString::fromUtf8("Выбор трасс "));
  matrix_.Resize(ws_.stations().size());
  tree_ = new QTreeWidget(this);
  tree_->setObjectName("id57");
  tree_->setHeaderHidden(true);
  stationLabel_ = new QLabel(this);
  stationLabel_->setObjectName("id54");
  channels_ = new QTreeWidget(this);
  channels_->setObjectName("id710");
  channels_->setRootIsDecorated(false);
  channels_->setHeaderLabels({QString::fromUtf8("Каналы"), QString::fromUtf8("Код положения"),
                              QString::fromUtf8("Отс./с.")});
  channels_->header()->setSectionResizeMode(QHeaderView::Stretch);
  date_ = MaskedEdit("id51", "99/99/9999;_", "01/01/2000", this);
  time_ = MaskedEdit("id52", "99:99:99.999;_", "00:00:00.000", this);
  length_ = MaskedEdit("id53", "99:99:99;_", "00:01:00", this);
  auto* clearAll = Button("id55", "Убрать все отметки", this);
  auto* clearStation = Button("id1084", "Убрать отметки каналов текущей станции", this);
  auto* pattern = Button("id1170", "Выбрать каналы по образцу", this);
  auto* forAll = Button("id1063", "Установить данное время для всех станций", this);
  auto* segment = Button("id56", "Выбрать сегмент из БД", this);
  auto* ok = Button("idOK", "Ok", this);
  ok->setToolTip(QString::fromUtf8("Завершить выбор каналов"));
  // Enter anywhere in the dialog finishes the choice, Escape leaves it.
  ok->setDefault(true);

  auto* fields = TimeFields(date_, time_, length_);
  auto* right = new QVBoxLayout;
  right->addWidget(stationLabel_);
  right->addWidget(channels_);
  right->addLayout(fields);
  for (QPushButton* b : {clearAll, clearStation, pattern, forAll, segment, ok}) right->addWidget(b);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(tree_, 1);
  layout->addLayout(right, 2);

  connect(tree_, &QTreeWidget::currentItemChanged, this, &CSelectChannelsDlg::NodeChanged);
  connect(channels_, &QTreeWidget::itemChanged, this, &CSelectChannelsDlg::ChannelToggled);
  connect(clearAll, &QPushButton::clicked, this, &CSelectChannelsDlg::ClearAll);
  connect(clearStation, &QPushButton::clicked, this, &CSelectChannelsDlg::ClearCurrentStation);
  connect(pattern, &QPushButton::clicked, this, &CSelectChannelsDlg::CheckByPattern);
  connect(forAll, &QPushButton::clicked, this, &CSelectChannelsDlg::SetTimeForAll);
  connect(segment, &QPushButton::clicked, this, &CSelectChannelsDlg::ChooseSegment);
  connect(ok, &QPushButton::clicked, this, &CSelectChannelsDlg::Finish);

  askPattern = [this](const std::string& last) { return AskChannelMask(this, last); };

  FillStationTree(tree_, ws_, false);
  // The remembered root and station.
  const RememberedChoice remembered = ReadRememberedChoice(ws_.ini());
  QTreeWidgetItem* root = tree_->topLevelItem(0);
  for (int i = 0; i < tree_->topLevelItemCount() && !remembered.groupName.empty(); ++i)
    if (S(tree_->topLevelItem(i)->text(0)) == remembered.groupName) root = tree_->topLevelItem(i);
  QTreeWidgetItem* selected = root;
  if (root) {
    root->setExpanded(true);
    for (int i = 0; i < root->childCount(); ++i)
      if (!remembered.stationName.empty() && S(root->child(i)->text(0)) == remembered.stationName)
        selected = root->child(i);
  }
  if (selected) tree_->setCurrentItem(selected);
}

void CSelectChannelsDlg::SelectStation(int station) {
  QTreeWidgetItem* root = tree_->topLevelItem(0);
  if (!root) return;
  for (int i = 0; i < root->childCount(); ++i)
    if (ItemStation(root->child(i)) == station) tree_->setCurrentItem(root->child(i));
}

bool CSelectChannelsDlg::StoreFields(int station) {
  if (station < 0 || station >= ws_.stations().size()) return true;
  if (!StoreSelectionFields(ws_.stations()[station].selection, S(date_->text()), S(time_->text()),
                            S(length_->text()))) {
    ws_.prompts().ShowError(kBadTime);
    return false;
  }
  return true;
}

void CSelectChannelsDlg::NodeChanged(QTreeWidgetItem* current, QTreeWidgetItem*) {
  StoreFields(currentStation_);
  ShowStation(ItemStation(current));
}

void CSelectChannelsDlg::ShowStation(int station) {
  currentStation_ = station;
  if (station >= 0) visited_.insert(station);
  if (station < 0 || station >= ws_.stations().size()) {
    stationLabel_->clear();
    channels_->clear();
    return;
  }
  CScreenFields& rec = ws_.stations()[station];
  stationLabel_->setText(Q(rec.code));
  SelectionWindow& w = rec.selection;
  if (w.lengthHours == 0 && w.lengthMinutes == 0 && w.lengthSeconds == 0) {
    // Take the window last used for one of the station's channels.
    for (const ChannelEntry& ch : rec.channels) {
      if (!ch.used()) continue;
      if (const auto saved = LoadTimeWindow(ws_.store(), rec.code, ch.name)) {
        w.SetStartEpoch(saved->start);
        w.SetLengthSeconds(saved->length);
        break;
      }
    }
  }

  date_->setText(Q(DateFieldText(w)));
  time_->setText(Q(TimeFieldText(w)));
  length_->setText(Q(LengthFieldText(w)));
  FillChannelList();
}

void CSelectChannelsDlg::FillChannelList() {
  filling_ = true;
  channels_->clear();
  if (currentStation_ >= 0) {
    const CScreenFields& rec = ws_.stations()[currentStation_];
    for (int c = 0; c < kChannelsPerStation; ++c) {
      const ChannelEntry& ch = rec.channels[static_cast<size_t>(c)];
      if (!ch.used()) continue;
      auto* item = new QTreeWidgetItem(
          channels_, QStringList{Q(ch.name), Q(ch.lcode), Q(StrFormat("%0.3f", ch.rate))});
      item->setData(0, kChannelRole, c);
      item->setCheckState(0, matrix_.Get(c, currentStation_) ? Qt::Checked : Qt::Unchecked);
    }
  }
  filling_ = false;
}

void CSelectChannelsDlg::ChannelToggled(QTreeWidgetItem* item, int column) {
  if (filling_ || column != 0 || currentStation_ < 0) return;
  // The cell is found by the channel's name.
  const std::string name = S(item->text(0));
  const CScreenFields& rec = ws_.stations()[currentStation_];
  for (int c = 0; c < kChannelsPerStation; ++c)
    if (rec.channels[static_cast<size_t>(c)].name == name) {
      matrix_.Set(c, currentStation_, item->checkState(0) == Qt::Checked);
      break;
    }
}

void CSelectChannelsDlg::ClearAll() {
  matrix_.Clear();
  FillChannelList();
}

void CSelectChannelsDlg::ClearCurrentStation() {
  matrix_.ClearStation(currentStation_);
  FillChannelList();
}

void CSelectChannelsDlg::CheckByPattern() {
  if (currentStation_ < 0 || !askPattern) return;
  const std::optional<std::string> pattern = askPattern(lastPattern_);
  if (!pattern) return;
  lastPattern_ = *pattern;
  const CScreenFields& rec = ws_.stations()[currentStation_];
  for (int c = 0; c < kChannelsPerStation; ++c) {
    const ChannelEntry& ch = rec.channels[static_cast<size_t>(c)];
    if (ch.used() && MatchChannelPattern(ch.name, *pattern)) matrix_.Set(c, currentStation_, true);
  }
  FillChannelList();
}

void CSelectChannelsDlg::SetTimeForAll() {
  SelectionWindow source;
  if (currentStation_ >= 0) {
    if (!StoreFields(currentStation_)) return;
    source = ws_.stations()[currentStation_].selection;
  } else if (!StoreSelectionFields(source, S(date_->text()), S(time_->text()),
                                   S(length_->text()))) {
    // With a group selected the typed window itself goes to every station.
    ws_.prompts().ShowError(kBadTime);
    return;
  }
  for (CScreenFields& rec : ws_.stations().records()) rec.selection = source;
}

void CSelectChannelsDlg::ChooseSegment() {
  if (currentStation_ < 0 || !browseSegments) return;
  std::vector<std::string> checked;
  const CScreenFields& rec = ws_.stations()[currentStation_];
  for (int c = 0; c < kChannelsPerStation; ++c)
    if (matrix_.Get(c, currentStation_))
      checked.push_back(rec.channels[static_cast<size_t>(c)].name);
  const std::optional<ArchiveSegment> segment =
      browseSegments(this, currentStation_, checked, TypedWindow(date_, time_, length_));
  if (!segment) return;
  SelectionWindow w;
  w.SetStartEpoch(segment->start);
  w.SetLengthSeconds(segment->duration);
  date_->setText(Q(DateFieldText(w)));
  time_->setText(Q(TimeFieldText(w)));
  length_->setText(Q(LengthFieldText(w)));
}

void CSelectChannelsDlg::Finish() {
  if (!StoreFields(currentStation_)) return;
  // The accepted window is remembered for the session: the stations not
  // shown in this dialog start from it next time, and so does "+D".
  if (currentStation_ >= 0) {
    if (const auto typed = TypedWindow(date_, time_, length_)) {
      if (sessionWindow) *sessionWindow = typed;
      const SelectionWindow accepted = ws_.stations()[currentStation_].selection;
      for (int s = 0; s < ws_.stations().size(); ++s)
        if (!visited_.count(s)) ws_.stations()[s].selection = accepted;
    }
  }
  QTreeWidgetItem* node = tree_->currentItem();
  RememberedChoice choice;
  if (node) {
    QTreeWidgetItem* root = node;
    while (root->parent()) root = root->parent();
    choice.groupName = S(root->text(0));
    if (ItemStation(node) >= 0) choice.stationName = S(node->text(0));
  }
  WriteRememberedChoice(ws_.ini(), choice);
  accept();
}

// ---------------------------------------------------------------- one channel

CSelectStationChannelDlg::CSelectStationChannelDlg(Workstation& ws,
                                                   const std::optional<Result>& preset,
                                                   QWidget* parent)
    : QDialog(parent), ws_(ws) {
  setWindowTitle(QString::fromUtf8("Выбор станции и канала"));
  tree_ = new QTreeWidget(this);
  tree_->setObjectName("id57");
  tree_->setHeaderHidden(true);
  date_ = MaskedEdit("id51", "99/99/9999;_", "01/01/2000", this);
  time_ = MaskedEdit("id52", "99:99:99.999;_", "00:00:00.000", this);
  length_ = MaskedEdit("id53", "99:99:99;_", "00:01:00", this);
  auto* segment = Button("id56", "Выбрать сегмент из БД", this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("idOK");
  auto* fields = TimeFields(date_, time_, length_);
  auto* right = new QVBoxLayout;
  right->addLayout(fields);
  right->addWidget(segment);
  right->addStretch();
  right->addWidget(buttons);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(tree_, 1);
  layout->addLayout(right);
  FillStationTree(tree_, ws_, true);
  if (tree_->topLevelItem(0)) tree_->topLevelItem(0)->setExpanded(true);

  connect(buttons, &QDialogButtonBox::accepted, this, &CSelectStationChannelDlg::TryAccept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(segment, &QPushButton::clicked, this, [this] {
    const int station = ItemStation(tree_->currentItem());
    if (station < 0 || !browseSegments) return;
    std::vector<std::string> channels;
    if (ItemChannel(tree_->currentItem()) >= 0)
      channels.push_back(ws_.stations()[station]
                             .channels[static_cast<size_t>(ItemChannel(tree_->currentItem()))]
                             .name);
    if (const auto seg =
            browseSegments(this, station, channels, TypedWindow(date_, time_, length_))) {
      SelectionWindow w;
      w.SetStartEpoch(seg->start);
      w.SetLengthSeconds(seg->duration);
      date_->setText(Q(DateFieldText(w)));
      time_->setText(Q(TimeFieldText(w)));
      length_->setText(Q(LengthFieldText(w)));
    }
  });

  if (preset) {
    preset_ = true;
    SelectChannel(preset->station, preset->channel);
    ShowWindow(date_, time_, length_, preset->start, preset->length);
  }
}

void CSelectStationChannelDlg::OfferSessionWindow(const std::optional<ArchiveSegment>& window) {
  if (window && !preset_) ShowWindow(date_, time_, length_, window->start, window->duration);
}

void CSelectStationChannelDlg::SelectChannel(int station, int channel) {
  QTreeWidgetItem* root = tree_->topLevelItem(0);
  if (!root) return;
  for (int i = 0; i < root->childCount(); ++i) {
    QTreeWidgetItem* st = root->child(i);
    if (ItemStation(st) != station) continue;
    for (int j = 0; j < st->childCount(); ++j)
      if (ItemChannel(st->child(j)) == channel) {
        st->setExpanded(true);
        tree_->setCurrentItem(st->child(j));
        return;
      }
  }
}

void CSelectStationChannelDlg::TryAccept() {
  SelectionWindow w;
  if (!StoreSelectionFields(w, S(date_->text()), S(time_->text()), S(length_->text()))) {
    ws_.prompts().ShowError(kBadTime);
    return;
  }
  QTreeWidgetItem* node = tree_->currentItem();
  if (ItemChannel(node) < 0) {
    ws_.prompts().Beep();
    return;
  }
  result_ = {ItemStation(node), ItemChannel(node), w.StartEpoch(), w.LengthSeconds()};
  accept();
}

// ---------------------------------------------------------------- channel lists

CSaveChannelListDlg::CSaveChannelListDlg(Workstation& ws, QWidget* parent)
    : QDialog(parent), ws_(ws) {
  setWindowTitle(QString::fromUtf8("Сохранить список выбранных каналов и станций"));
  lists_ = new QListWidget(this);
  name_ = new QLineEdit(this);
  name_->setObjectName("id1166");
  auto* remove = Button("idDelete", "Удалить", this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("idOK");
  auto* listsLabel = new QLabel(QString::fromUtf8("&Сохраненные списки"), this);
  listsLabel->setBuddy(lists_);
  auto* nameLabel = new QLabel(QString::fromUtf8("&Имя списка"), this);
  nameLabel->setBuddy(name_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(listsLabel);
  layout->addWidget(lists_);
  layout->addWidget(nameLabel);
  layout->addWidget(name_);
  layout->addWidget(remove);
  layout->addWidget(buttons);
  // The analyst usually types a new name: the field has the focus, Enter saves.
  name_->setFocus();
  connect(lists_, &QListWidget::currentTextChanged, name_, &QLineEdit::setText);
  connect(remove, &QPushButton::clicked, this, &CSaveChannelListDlg::DeleteSelected);
  connect(buttons, &QDialogButtonBox::accepted, this, &CSaveChannelListDlg::TryAccept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  Refresh();
}

void CSaveChannelListDlg::Refresh() {
  lists_->clear();
  for (const std::string& n : ChannelListNames(ws_.store())) lists_->addItem(Q(n));
}

void CSaveChannelListDlg::DeleteSelected() {
  if (QListWidgetItem* item = lists_->currentItem()) {
    DeleteChannelList(ws_.store(), S(item->text()));
    Refresh();
  }
}

std::string CSaveChannelListDlg::name() const {
  // Blanks typed around the name are not part of it.
  return std::string(Trim(S(name_->text())));
}

void CSaveChannelListDlg::TryAccept() {
  if (!IsValidChannelListName(name())) {
    ws_.prompts().Beep();
    return;
  }
  accept();
}

CLoadChannelListDlg::CLoadChannelListDlg(Workstation& ws, QWidget* parent)
    : QDialog(parent), ws_(ws) {
  setWindowTitle(QString::fromUtf8("Загрузить список станций"));
  lists_ = new QTreeWidget(this);
  lists_->setRootIsDecorated(false);
  lists_->setHeaderLabels({QString::fromUtf8("Имя списка"), QString::fromUtf8("Список")});
  // The names fit their column; the channels take the rest of the width.
  lists_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  lists_->setMinimumWidth(480);
  auto* choose = Button("idChoose", "Выбрать", this);
  auto* remove = Button("idDelete", "Удалить", this);
  auto* quit = Button("idQuit", "Выйти", this);
  // Enter loads the selected list; Escape is "Выйти".
  choose->setDefault(true);
  auto* row = new QHBoxLayout;
  row->addWidget(choose);
  row->addWidget(remove);
  row->addWidget(quit);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lists_);
  layout->addLayout(row);
  connect(choose, &QPushButton::clicked, this, &CLoadChannelListDlg::Choose);
  connect(remove, &QPushButton::clicked, this, &CLoadChannelListDlg::DeleteSelected);
  connect(quit, &QPushButton::clicked, this, &QDialog::reject);
  connect(lists_, &QTreeWidget::itemDoubleClicked, this, &CLoadChannelListDlg::Choose);
  Refresh();
}

void CLoadChannelListDlg::Refresh() {
  lists_->clear();
  for (const std::string& n : ChannelListNames(ws_.store()))
    new QTreeWidgetItem(lists_, {Q(n), Q(ChannelListSummary(LoadChannelList(ws_.store(), n)))});
}

void CLoadChannelListDlg::DeleteSelected() {
  if (QTreeWidgetItem* item = lists_->currentItem()) {
    DeleteChannelList(ws_.store(), S(item->text(0)));
    Refresh();
  }
}

void CLoadChannelListDlg::Choose() {
  QTreeWidgetItem* item = lists_->currentItem();
  if (!item) {
    ws_.prompts().Beep();
    return;
  }
  chosen_ = S(item->text(0));
  accept();
}

// ---------------------------------------------------------------- scale

CScaleDlg::CScaleDlg(double ampMax, double ampMin, double transMax, double transMin,
                     QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Масштаб"));
  const int ids[4] = {1162, 1145, 1146, 1147};
  const double values[4] = {ampMax, ampMin, transMax, transMin};
  const char* labels[4] = {"Максимум исходного сигнала", "Минимум исходного сигнала",
                           "Максимум преобразованного сигнала", "Минимум преобразованного сигнала"};
  auto* form = new QFormLayout;
  for (int i = 0; i < 4; ++i) {
    // Limits come from float samples: seven significant digits show them
    // without the binary tail of a float widened to double.
    initial_[i] = values[i];
    initialText_[i] = QString::number(values[i], 'g', 7);
    fields_[i] = new QLineEdit(initialText_[i], this);
    fields_[i]->setObjectName(Q(StrFormat("id%d", ids[i])));
    fields_[i]->setValidator(new DecimalValidator(fields_[i]));
    form->addRow(QString::fromUtf8(labels[i]), fields_[i]);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CScaleDlg::accept() {
  // A field that holds no number (empty, "-", "1e") keeps the dialog open
  // rather than turning into a limit of 0.
  for (QLineEdit* f : fields_) {
    if (!NumberOf(f)) {
      QApplication::beep();
      f->setFocus();
      f->selectAll();
      return;
    }
  }
  QDialog::accept();
}

QLineEdit* CScaleDlg::field(int id) const {
  switch (id) {
    case 1162:
      return fields_[0];
    case 1145:
      return fields_[1];
    case 1146:
      return fields_[2];
    case 1147:
      return fields_[3];
    default:
      return nullptr;
  }
}

double CScaleDlg::value(int id) const {
  const QLineEdit* f = field(id);
  if (!f) return 0;
  for (int i = 0; i < 4; ++i)
    if (f == fields_[i] && f->text() == initialText_[i]) return initial_[i];
  return NumberOf(f).value_or(0);
}

}  // namespace nuv
