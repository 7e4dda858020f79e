// M's numbers for the screen evaluator: the numeric interpretation of a string (its leading
// numeric part: "12abc" is 12, "abc" is 0, "1E2" is 100, "--3" is 3), canonic results of the
// arithmetic operators, and the truth value. Numbers carry 18 significant digits, as M's do.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vorn::devserver {

// An M run-time error of a screen ("<DIVIDE>", "<UNDEFINED> X", ...).
class MRuntimeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The canonic number that `text` stands for when M reads it as a number (unary "+").
// Throws MRuntimeError "<NUMOFLOW>" for magnitudes of 1E47 and above.
std::string NumericInterpretation(std::string_view text);
// The truth value: the numeric interpretation is not 0.
bool TruthValue(std::string_view text);
// The whole part of the numeric interpretation (truncated towards zero), kept within
// +-2^31 so that piece and character positions never overflow.
long IntegerInterpretation(std::string_view text);

enum class ArithmeticOp { Add, Subtract, Multiply, Divide, IntegerDivide, Modulo };
// The canonic result of `a op b` on the numeric interpretations; "<DIVIDE>" for a zero divisor.
std::string Arithmetic(ArithmeticOp op, std::string_view a, std::string_view b);
// The unary minus.
std::string Negate(std::string_view text);
// Negative, zero or positive as the numeric interpretation of a is less than, equal to or
// greater than that of b.
int CompareNumbers(std::string_view a, std::string_view b);

}  // namespace vorn::devserver
