#include "sigproc/ui/formula_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/profile_file.h"
#include "platform/user_prompts.h"

namespace nuv {

namespace {

QString U(const char* text) {
  return QString::fromUtf8(text);
}

struct InsertButton {
  const char* label;
  const char* text;  // inserted; null for the buttons with their own action
  const char* tip;
};

// In the order of the dialog's grid.
constexpr InsertButton kButtons[] = {
    {"abs", "abs(w)", "abs(W) - Produces the absolute value of any expression"},
    {"atan", "atan(w_0)", "atan(W) - Calculates the arc-tangent of any expression"},
    {"ceil", "ceil(w_0)",
     "ceil(W) - Finds the smallest integer greater than or equal to the input value"},
    {"cos", "cos(w)", "cos(W) - Applying the cosine function of any expression"},
    {"conv", "conv(w ,w )", "conv(W1,W2) - Convolves two signal W1 and W2"},
    {"deriv", "deriv(w)", "deriv(W) - Derivative of signal W. Calculates by 3 points"},
    {"exp", "exp(w)", "exp(W) - e**W (e=2.71828...)"},
    {"extract", "extract(w , 1 , 2)",
     "extract(W, start, length) - Makes a new signal by extracting a portion of another signal"},
    {"floor", "floor(w)", "floor(W) - Finds the greatest integer less or equal to the input value"},
    {"gline", "gline(points, spacing, a, b)",
     "gline(points, spacing, a, b) - Generates a line y=a*t+b"},
    {"gsin", "gsin(points, spacing, fr , phase )",
     "gsin(points, spacing[, v [, fi ]]) - Generates a sine curve sin(2*pi*v*t+fi)"},
    {"gcos", "gcos(points, spacing, fr , phase )",
     "gcos(points, spacing[, v [, fi ]]) - Generates a cosine curve cos(2*pi*v*t+fi)"},
    {"hanning", "hanning(w)",
     "hanning(W) - Multiplies a signal by Hanning Window 0.5*(1.-cos(2*pi*i/(nn-1)))"},
    {"imfft", "imfft(w)",
     "imfft(W) - Imaginary part of the first half of the FFT of the W.\n W padding zeros to "
     "signal length will be power of 2"},
    {"integ", "integ(w)", "integ(W)- - Calculates the integral of the W. "},
    {"interpolate", "interpolate(w, n)", "interpolate(W,n) - Interpolate W. n-interpolation order"},
    {"kaiser", "kaiser(w)",
     "kaiser(W[,b]) - Multiplies a signal by Kaiser window. W padding zeros to signal length "
     "will be power of 2"},
    {"linreg", "linreg(w)",
     "linreg(W) - Determines the best linear fit to a signal. Returns generated line"},
    {"log10", "log10(w)", "log10(W) - Calculates the based 10 logarithm of the W"},
    {"log", "log(w)", "log(W) - Calculates the natural logarithm of the W"},
    {"max", "max(w)", "max(W) - Finds maximum value of the W"},
    {"mean", "mean(w)", "mean(W) - Finds the mean value of the W"},
    {"min", "min(w)", "min(W) - Finds minimum value of the W"},
    {"rand", "rand(points,spacing)",
     "rand(points, spacing) - Generates points pseudorandom numbers between 0.0 and 1.0"},
    {"refft", "refft(w)",
     "refft(W) - Real part of the first half of the FFT of the W. W padding by zeros to signal "
     "length will be power of 2"},
    {"sin", "sin(w)", "sin(W) - Applying the sine function of any expression"},
    {"sizeof", "sizeof(w)", "sizeof(W) - Number of counts in the W"},
    {"spectrum", "spectrum(w)",
     "spectrum(W) - Returns the magnitude of the first half of the FFT of a signal. W padding "
     "by zeros to signal length will be power of 2"},
    {"sqrt", "sqrt(w)", "sqrt(W) - Calculates the square root of the W"},
    {"tan", "tan(w)", "tan(W) - Applying the tangent function of any expression"},
    {"avspectrum", "avspectrum(w_0, p, s)",
     "avspectrum(W, points, shift) - Осредненный спектр сигнала W в скользящем окне, points - "
     "количество точек в окне, shift - сдвиг окна "},
    {"Rectilin", "rectilin(w_0, w_1, w_2, n)",
     "rectilin(Z, X, Y, N) - Rectilinearity of particle 3d motion described by Z, X, Y dataset; "
     "N - sliding window samples"},
    {"Planarity", "planar(w_0, w_1, w_2, n)",
     "planar(Z, X, Y, N) - Planarity of particle 3d motion described by Z, X, Y dataset; N - "
     "sliding window length in samples"},
    {"PI", "pi", "pi - 3.1415926535897932384626"},
    {"E", "e", "e - 2.7182818284590452353602874"},
    {"DEG", "deg", "deg - 57.29577951308232087680"},
    {"current", "current", "Current window identifier"},
    {"*", "*", "Multiplying"},
    {"/", "/", "Dividing"},
    {"+", "+", "Addition"},
    {"-", "-", "Subtraction"},
    {"(", "(", "left bracket"},
    {")", ")", "right bracket"},
    {"butter", nullptr,
     "Butter(W, lfr, hfr, n) - Applying Butterworth filter to the W. lfr, hfr - low and high "
     "cutoff frequences, n - filter order"},
    {"W", nullptr, "Select window name"},
};

}  // namespace

CFormulaDialog::CFormulaDialog(FormulaInterface& target, ProfileFile& recent,
                               std::filesystem::path savedFile, UserPrompts& prompts,
                               QWidget* parent)
    : QDialog(parent),
      target_(target),
      recent_(recent),
      savedFile_(std::move(savedFile)),
      prompts_(prompts) {
  setWindowTitle(U("Конструктор формул"));
  formula_ = new QComboBox(this);
  formula_->setEditable(true);
  formula_->setInsertPolicy(QComboBox::NoInsert);
  formula_->setMinimumWidth(480);
  FillRecent();
  formula_->setEditText(QString::fromStdString(target_.GetFormula()));

  auto* grid = new QGridLayout;
  int index = 0;
  for (const InsertButton& b : kButtons) {
    auto* button = new QPushButton(U(b.label), this);
    button->setToolTip(U(b.tip));
    button->setAutoDefault(false);
    grid->addWidget(button, index / 9, index % 9);
    ++index;
    if (b.text) {
      connect(button, &QPushButton::clicked, this, [this, text = b.text] { Insert(text); });
    } else if (std::string(b.label) == "butter") {
      connect(button, &QPushButton::clicked, this, [this] {
        const auto text = wizard ? wizard() : std::nullopt;
        Insert(text ? *text : "butter(W, lfr, hfr, n)");
      });
    } else {
      connect(button, &QPushButton::clicked, this, [this] {
        if (!chooseWindow) return;
        if (const auto name = chooseWindow()) Insert(name->substr(0, 15));
      });
    }
  }

  saved_ = new QTreeWidget(this);
  saved_->setColumnCount(2);
  saved_->setHeaderLabels({U("Описание"), U("Формула")});
  saved_->setRootIsDecorated(false);
  FillSaved();
  connect(saved_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { formula_->setEditText(item->text(1)); });
  auto* save = new QPushButton(U("Сохранить ..."), this);
  save->setToolTip(U("Save formula"));
  auto* remove = new QPushButton(U("Удалить"), this);
  connect(save, &QPushButton::clicked, this, [this] {
    bool ok = false;
    const QString name = QInputDialog::getText(this, U("Save as "), U("Enter formula name"),
                                               QLineEdit::Normal, QString(), &ok);
    if (ok) SaveAs(name.left(64).toStdString());
  });
  connect(remove, &QPushButton::clicked, this, &CFormulaDialog::RemoveSelected);

  auto* apply = new QPushButton(U("Применить"), this);
  auto* ok = new QPushButton(U("Ok"), this);
  auto* quit = new QPushButton(U("Выйти"), this);
  apply->setAutoDefault(false);
  connect(apply, &QPushButton::clicked, this, &CFormulaDialog::ApplyText);
  connect(ok, &QPushButton::clicked, this, [this] {
    ApplyText();
    accept();
  });
  connect(quit, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(formula_);
  layout->addLayout(grid);
  layout->addWidget(saved_);
  auto* savedButtons = new QHBoxLayout;
  savedButtons->addWidget(save);
  savedButtons->addWidget(remove);
  savedButtons->addStretch();
  layout->addLayout(savedButtons);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  for (QPushButton* b : {apply, ok, quit}) bottom->addWidget(b);
  layout->addLayout(bottom);
}

QPushButton* CFormulaDialog::Button(const QString& label) const {
  for (QPushButton* b : findChildren<QPushButton*>())
    if (b->text() == label) return b;
  return nullptr;
}

void CFormulaDialog::FillRecent() {
  const QString text = formula_->currentText();
  formula_->clear();
  for (const std::string& f : ReadRecentFormulas(recent_))
    formula_->addItem(QString::fromStdString(f));
  formula_->setEditText(text);
}

void CFormulaDialog::FillSaved() {
  saved_->clear();
  for (const SavedFormula& f : ReadSavedFormulas(savedFile_))
    new QTreeWidgetItem(saved_,
                        {QString::fromStdString(f.description), QString::fromStdString(f.formula)});
}

void CFormulaDialog::ApplyText() {
  const std::string text = formula_->currentText().toStdString();
  target_.SetFormula(text);
  target_.ApplyFormula();
  if (!text.empty()) AddRecentFormula(recent_, text);
  FillRecent();
}

void CFormulaDialog::Insert(const std::string& text) {
  QApplication::clipboard()->setText(QString::fromStdString(text));
  formula_->lineEdit()->insert(QString::fromStdString(text));
}

void CFormulaDialog::SaveAs(const std::string& typedName) {
  const FormulaNameCheck check = CheckFormulaName(typedName);
  if (!check.name) {
    prompts_.ShowError(check.message);
    return;
  }
  if (!AddSavedFormula(savedFile_, {*check.name, formula_->currentText().toStdString()})) {
    prompts_.Beep();
    return;
  }
  FillSaved();
}

void CFormulaDialog::RemoveSelected() {
  const int row = saved_->indexOfTopLevelItem(saved_->currentItem());
  if (row < 0) return;
  RemoveSavedFormula(savedFile_, static_cast<size_t>(row));
  FillSaved();
}

}  // namespace nuv
