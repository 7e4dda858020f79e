// The parsed form of a screen: its commands and their expressions, as the parser builds them
// and the evaluator walks them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "devserver/m/m_screen_pattern.h"

namespace vorn::devserver {

struct MOperation;

struct MExpr {
    enum class Kind {
        String,    // text: the literal
        Number,    // text: the canonic value of the literal
        Local,     // text: the name
        Global,    // text: the global's name; args: the subscripts (none: unsubscripted)
        Naked,     // args: the subscripts
        Unary,     // text: "'", "-" or "+"; args[0]
        Chain,     // args[0], then each operation in turn: strictly left to right
        Function,  // text: "P", "G", "D", "E" or "L"; args
    };
    Kind kind = Kind::String;
    std::string text;
    std::vector<std::unique_ptr<MExpr>> args;
    std::vector<MOperation> operations;  // Chain
};

// One binary operation of a chain: the operator ("_", "'=", "&", "?", "'?", ...) and its right
// operand, which for a pattern match is the pattern.
struct MOperation {
    std::string op;
    std::unique_ptr<MExpr> operand;
    Pattern pattern;
};

struct MSetArgument {
    std::string name;
    std::unique_ptr<MExpr> value;
};

struct MCommand {
    enum class Kind { If, Set, New } kind = Kind::If;
    std::vector<std::unique_ptr<MExpr>> conditions;  // IF; none: the argumentless IF
    std::vector<MSetArgument> sets;                  // SET
    std::vector<std::string> names;                  // NEW
};

struct MScreenProgram {
    std::vector<MCommand> commands;
};

}  // namespace vorn::devserver
