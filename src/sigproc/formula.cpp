#include "sigproc/formula.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/strformat.h"
#include "sigproc/decimal_text.h"
#include "sigproc/formula_parser.h"

namespace nuv {
namespace {

// Characters that end a number or a name.
bool IsStop(char c) {
  return c == '\t' || std::strchr(" ;,+-<>/*%^=()", c) != nullptr;
}
bool IsOneCharDelimiter(char c) {
  return std::strchr("+-^/%=;(),><*", c) != nullptr;
}
bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

// Nesting deeper than this (brackets, powers, calls) is refused before the
// stack could run out.
constexpr int kMaxDepth = 200;
constexpr const char* kTooDeep = "Формула слишком сложна: слишком глубокая вложенность";
constexpr const char* kTooLong = "Слишком много отсчетов (%.0f) в функции %s";
constexpr const char* kNegativeBase = "Отрицательное основание нельзя возвести в дробную степень";
constexpr const char* kTooMuchWork = "Вычисление формулы слишком трудоемко";
// Powers up to this exponent multiply sample by sample as written (the
// exact rounding of repeated products); larger ones use pow.
constexpr double kMaxRepeatedPower = 1024;

// Index of "w%d" for 0..31 written without leading zeros, or -1.
int WindowIndex(const std::string& name) {
  if (name.size() < 2 || name.size() > 3 || name[0] != 'w') return -1;
  for (size_t i = 1; i < name.size(); ++i)
    if (!IsAsciiDigit(name[i])) return -1;
  if (name.size() == 3 && name[1] == '0') return -1;
  const int index = std::stoi(name.substr(1));
  return index <= 31 ? index : -1;
}

std::string CutMessage(std::string message) {
  constexpr size_t kMax = 1023;
  if (message.size() <= kMax) return message;
  size_t cut = kMax;
  while (cut > 0 && (static_cast<unsigned char>(message[cut]) & 0xC0) == 0x80) --cut;
  message.resize(cut);
  return message;
}

// x multiplied by itself k - 1 times, left to right, as repeated "*" does.
double RepeatedProduct(double x, double k) {
  if (k > kMaxRepeatedPower) return std::pow(x, k);
  double r = x;
  for (double j = 1; j < k; ++j) r = r * x;
  return r;
}

double Divide(double a, double b) {
  if (b == 0.0) return a == 0.0 ? 1.0 : 0.0;
  return a / b;
}

}  // namespace

// ---------------------------------------------------------------- data sources

void InMemoryFormulaData::SetWindow(int index, Signal data) {
  if (index < 0) return;
  if (static_cast<size_t>(index) >= windows_.size())
    windows_.resize(static_cast<size_t>(index) + 1);
  windows_[static_cast<size_t>(index)] = std::move(data);
}

void InMemoryFormulaData::SetWindowCount(int count) {
  windows_.resize(static_cast<size_t>(std::max(count, 0)));
}

void InMemoryFormulaData::AddPane(const FormulaPane& pane) {
  panes_.push_back(pane);
}

void InMemoryFormulaData::SetPaneData(int channel, PaneSignal kind, Signal data) {
  paneData_[{channel, kind}] = std::move(data);
}

Signal InMemoryFormulaData::WindowData(int index) const {
  if (index < 0 || index >= WindowCount() || !windows_[static_cast<size_t>(index)])
    return Signal({}, 1.0);
  return *windows_[static_cast<size_t>(index)];
}

std::optional<Signal> InMemoryFormulaData::PaneData(int channel, PaneSignal kind) const {
  const auto it = paneData_.find({channel, kind});
  if (it == paneData_.end()) return std::nullopt;
  return it->second;
}

// ---------------------------------------------------------------- operators

Signal ApplyBinary(char op, Signal a, const Signal& b) {
  // A scalar on either side never imposes its dx 1.0 on a series.
  const double dx = (a.dx != b.dx && b.dx != 1.0) ? b.dx : a.dx;
  const size_t na = a.size(), nb = b.size();
  size_t n;
  if (na == 1)
    n = nb;
  else if (nb == 1)
    n = na;
  else
    n = std::min(na, nb);
  auto combine = [op](double x, double y) {
    switch (op) {
      case '+':
        return x + y;
      case '-':
        return x - y;
      case '*':
        return x * y;
      case '/':
        return Divide(x, y);
      default:  // '%': x - k*y with k = x/y truncated toward zero
        if (y == 0.0) return x == 0.0 ? 1.0 : 0.0;
        return x - std::trunc(x / y) * y;
    }
  };
  std::vector<double> out;
  if (na == 1) {
    const double x = a.samples[0];
    out.resize(n);
    for (size_t i = 0; i < n; ++i) out[i] = combine(x, b.samples[i]);
  } else {
    // The left value is ours: it is overwritten in place.
    out = std::move(a.samples);
    out.resize(n);
    if (nb == 1) {
      const double y = b.samples[0];
      for (size_t i = 0; i < n; ++i) out[i] = combine(out[i], y);
    } else {
      for (size_t i = 0; i < n; ++i) out[i] = combine(out[i], b.samples[i]);
    }
  }
  return Signal(std::move(out), dx);
}

// ---------------------------------------------------------------- parser

FormulaParser::FormulaParser(std::string_view text, std::string_view alias,
                             const FormulaDataSource& data, const FormulaLimits& limits)
    : text_(text), alias_(ToLowerAscii(alias)), data_(data), limits_(limits) {}

void FormulaParser::Fail(const std::string& message) const {
  throw FormulaError(message);
}

void FormulaParser::Expect(char delimiter, const std::string& message) {
  if (!NextIs(delimiter)) Fail(message);
}

bool FormulaParser::NextIs(char delimiter) {
  GetToken();
  return IsDelimiter(delimiter);
}

char FormulaParser::NextSeparator() {
  GetToken();
  if (IsDelimiter(',')) return ',';
  if (IsDelimiter(')')) return ')';
  return 0;
}

void FormulaParser::CheckCount(double count, const char* function) const {
  if (count > static_cast<double>(limits_.maxSamples)) Fail(StrFormat(kTooLong, count, function));
}

void FormulaParser::Spend(double operations) {
  work_ += operations;
  if (work_ > limits_.maxWork) Fail(kTooMuchWork);
}

void FormulaParser::GetToken() {
  if (pushedBack_) {
    pushedBack_ = false;
    return;
  }
  token_.clear();
  kind_ = Kind::kNone;
  while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  if (pos_ >= text_.size()) {
    kind_ = Kind::kDelimiter;  // the end of the formula
    return;
  }
  const char c = text_[pos_];
  if (IsOneCharDelimiter(c)) {
    token_.assign(1, c);
    kind_ = Kind::kDelimiter;
    ++pos_;
    return;
  }
  const bool number = IsAsciiDigit(c) || c == '.';
  if (!number && !IsAsciiLetter(c)) return;  // an empty token of no kind; the grammar fails
  const size_t start = pos_;
  while (pos_ < text_.size() && !IsStop(text_[pos_])) ++pos_;
  token_.assign(text_.substr(start, pos_ - start));
  if (number) {
    kind_ = Kind::kNumber;
    value_ = Signal::Scalar(DecimalPrefix(token_));
    return;
  }
  token_ = ToLowerAscii(token_);
  Signal value;
  if (LookUpVariable(token_, value)) {
    kind_ = Kind::kVariable;
    value_ = std::move(value);
    return;
  }
  const FormulaFunction* function = FindFormulaFunction(token_);
  if (!function) Fail(StrFormat(kUndefinedName, token_.c_str()));
  const std::string name = token_;
  if (++depth_ > kMaxDepth) Fail(kTooDeep);
  Signal result = function->handler(*this);
  --depth_;
  token_ = name;
  kind_ = Kind::kFunction;
  value_ = std::move(result);
  pushedBack_ = false;
}

bool FormulaParser::LookUpVariable(const std::string& name, Signal& value) const {
  static const struct {
    const char* name;
    double value;
  } kConstants[] = {
      {"pi", 3.141592653589793}, {"e", 2.718281828459045}, {"deg", 57.29577951308232}};
  for (const auto& constant : kConstants) {
    if (name == constant.name) {
      value = Signal::Scalar(constant.value);
      return true;
    }
  }
  if (name == "current") {
    value = Signal();
    // Without an alias "current" is accepted and yields the fresh value.
    if (!alias_.empty() && alias_ != "current") {
      Signal aliased;
      if (LookUpVariable(alias_, aliased)) value = std::move(aliased);
    }
    return true;
  }
  const int window = WindowIndex(name);
  if (window >= 0) {
    value = Signal();
    if (window < data_.WindowCount()) {
      Signal data = data_.WindowData(window);
      if (!data.samples.empty()) value = std::move(data);
    }
    return true;
  }
  static const struct {
    const char* format;
    const char* codeFormat;
    PaneSignal kind;
  } kPaneNames[] = {{"d%d", "%s:%s", PaneSignal::kSource},
                    {"t%d", "%s:%s:t", PaneSignal::kTransformed},
                    {"sd%d", "%s:%s:s", PaneSignal::kSelectedSource},
                    {"st%d", "%s:%s:st", PaneSignal::kSelectedTransformed}};
  const bool codeForm = name.find(':') != std::string::npos;
  for (const FormulaPane& pane : data_.Panes()) {
    for (const auto& form : kPaneNames) {
      const bool match = codeForm
                             ? EqualsNoCase(name, StrFormat(form.codeFormat, pane.station.c_str(),
                                                            pane.channelName.c_str()))
                             : name == StrFormat(form.format, pane.channel);
      if (!match) continue;
      // The station:channel forms give the same samples as the numbered names.
      auto data = data_.PaneData(pane.channel, form.kind);
      value = data ? std::move(*data) : Signal();
      return true;
    }
  }
  return false;
}

Signal FormulaParser::Formula() {
  GetToken();
  if (token_.empty()) Fail(kFormulaError);
  Signal value = Sum();
  PutBack();
  return value;
}

Signal FormulaParser::Sum() {
  if (++depth_ > kMaxDepth) Fail(kTooDeep);
  Signal value = Product();
  while (IsDelimiter('+') || IsDelimiter('-')) {
    const char op = token_[0];
    GetToken();
    const Signal right = Product();
    Spend(static_cast<double>(std::max(value.size(), right.size())));
    value = ApplyBinary(op, std::move(value), right);
  }
  --depth_;
  return value;
}

Signal FormulaParser::Product() {
  Signal value = Power();
  while (IsDelimiter('*') || IsDelimiter('/') || IsDelimiter('%')) {
    const char op = token_[0];
    GetToken();
    const Signal right = Power();
    Spend(static_cast<double>(std::max(value.size(), right.size())));
    value = ApplyBinary(op, std::move(value), right);
  }
  return value;
}

Signal FormulaParser::Power() {
  Signal base = Signed();
  if (!IsDelimiter('^')) return base;
  GetToken();
  if (++depth_ > kMaxDepth) Fail(kTooDeep);
  const Signal exponent = Power();
  --depth_;
  // The exponent is the first sample of the right operand. Integer powers
  // follow arithmetic by repeated products: x^0 is 1 and x^-k is 1/x^k (with
  // the "/" rule for a zero divisor); a NaN exponent leaves the base as it is.
  const double p = exponent.First();
  if (std::isnan(p) || p == 1.0) return base;
  const double k = std::trunc(p);
  if (k != p && std::isfinite(p)) {
    // A real power; a negative base has no real value.
    Spend(static_cast<double>(base.size()));
    for (double x : base.samples)
      if (x < 0.0) Fail(kNegativeBase);
    for (double& x : base.samples) x = p > 0.0 ? std::pow(x, p) : Divide(1.0, std::pow(x, -p));
    return base;
  }
  Spend(static_cast<double>(base.size()) * std::min(std::abs(k), kMaxRepeatedPower));
  for (double& x : base.samples) {
    if (k >= 2.0)
      x = RepeatedProduct(x, k);
    else if (k == 0.0)
      x = 1.0;
    else
      x = Divide(1.0, k == -1.0 ? x : RepeatedProduct(x, -k));
  }
  return base;
}

Signal FormulaParser::Signed() {
  if (IsDelimiter('+') || IsDelimiter('-')) {
    const bool negate = token_[0] == '-';
    GetToken();
    Signal value = Bracketed();
    if (negate)
      for (double& x : value.samples) x = -x;
    return value;
  }
  return Bracketed();
}

Signal FormulaParser::Bracketed() {
  if (IsDelimiter('(')) {
    GetToken();
    Signal value = Sum();
    if (!IsDelimiter(')')) Fail(kMissingBracket);
    GetToken();
    return value;
  }
  return Operand();
}

Signal FormulaParser::Operand() {
  if (kind_ != Kind::kVariable && kind_ != Kind::kNumber && kind_ != Kind::kFunction)
    Fail(kFormulaError);
  Signal value = std::move(value_);
  GetToken();
  return value;
}

// ---------------------------------------------------------------- entry points

FormulaResult EvaluateFormula(std::string_view formula, const FormulaDataSource& data,
                              const FormulaLimits& limits) {
  FormulaResult result;
  try {
    FormulaParser parser(formula, "", data, limits);
    result.value = parser.Evaluate();
    result.ok = true;
  } catch (const FormulaError& error) {
    result.error = CutMessage(error.what());
  } catch (const std::bad_alloc&) {
    result.error = kFormulaError;
  }
  if (!result.ok) result.value = Signal();
  return result;
}

TraceFormulaResult EvaluateForTrace(std::string_view formula, std::string_view alias,
                                    const FormulaDataSource& data, const FormulaLimits& limits) {
  TraceFormulaResult result;
  try {
    FormulaParser parser(formula, alias, data, limits);
    const Signal value = parser.Evaluate();
    // A pane cannot draw a trace without a positive sampling interval.
    if (!(value.dx > 0.0) || !std::isfinite(1.0 / value.dx))
      throw FormulaError(StrFormat("Неверный шаг по времени результата формулы: %g", value.dx));
    result.samples.assign(value.samples.begin(), value.samples.end());
    result.rate = static_cast<float>(1.0 / value.dx);
    result.ok = true;
  } catch (const FormulaError& error) {
    result.error = CutMessage(error.what());
  } catch (const std::bad_alloc&) {
    result.error = kFormulaError;
  }
  return result;
}

}  // namespace nuv
