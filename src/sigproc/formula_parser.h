#pragma once
// The interpreter behind EvaluateFormula: a token reader and a recursive
// descent over the grammar formula -> sum -> product -> power -> signed ->
// bracketed term -> operand. Function handlers (formula_functions.cpp) are
// called by the token reader as soon as their name is read and read their own
// argument lists through the operations below. The first failure anywhere
// throws FormulaError, which the entry point turns into the message text.

#include <stdexcept>
#include <string>
#include <string_view>

#include "sigproc/formula.h"

namespace nuv {

class FormulaError : public std::runtime_error {
 public:
  explicit FormulaError(const std::string& message) : std::runtime_error(message) {}
};

class FormulaParser;

struct FormulaFunction {
  const char* name;
  Signal (*handler)(FormulaParser& parser);
};

// The handler registered under a lower-case name, or nullptr.
const FormulaFunction* FindFormulaFunction(std::string_view name);

class FormulaParser {
 public:
  FormulaParser(std::string_view text, std::string_view alias, const FormulaDataSource& data,
                const FormulaLimits& limits);

  // The whole formula (rule 1); text after the first complete sum is ignored.
  Signal Evaluate() { return Formula(); }

  // --- the call protocol of the function handlers ---
  [[noreturn]] void Fail(const std::string& message) const;
  // Reads a token and fails with `message` unless it is the delimiter `delimiter`.
  void Expect(char delimiter, const std::string& message);
  // Reads a token and says whether it is the delimiter `delimiter`.
  bool NextIs(char delimiter);
  // Reads a token: ',' or ')' for those delimiters, 0 for anything else.
  char NextSeparator();
  // One argument: a complete formula whose closing delimiter is read again.
  Signal Argument() { return Formula(); }

  // Fails when a function would create more samples than the limits allow
  // (`count` may be any value a formula can produce).
  void CheckCount(double count, const char* function) const;
  // Counts `operations` against the work limit of the evaluation.
  void Spend(double operations);

 private:
  enum class Kind { kNone, kDelimiter, kVariable, kNumber, kFunction };

  void GetToken();
  // Puts the current token back: the next GetToken returns it again, whole
  // (a function token is not evaluated a second time).
  void PutBack() { pushedBack_ = true; }
  bool IsDelimiter(char c) const {
    return kind_ == Kind::kDelimiter && token_.size() == 1 && token_[0] == c;
  }

  Signal Formula();
  Signal Sum();
  Signal Product();
  Signal Power();
  Signal Signed();
  Signal Bracketed();
  Signal Operand();

  // Whether a lower-case name is a variable, and its value when it is.
  bool LookUpVariable(const std::string& name, Signal& value) const;

  std::string_view text_;
  std::string alias_;
  const FormulaDataSource& data_;
  FormulaLimits limits_;
  size_t pos_ = 0;
  std::string token_;
  Kind kind_ = Kind::kNone;
  Signal value_;
  bool pushedBack_ = false;
  int depth_ = 0;
  double work_ = 0;
};

// Binary operators of the language with their count and dx rules.
Signal ApplyBinary(char op, Signal a, const Signal& b);

}  // namespace nuv
