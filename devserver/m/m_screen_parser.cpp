#include "devserver/m/m_screen_parser.h"

#include <cctype>

#include "devserver/m/m_screen_number.h"
#include "devserver/m/text.h"

namespace vorn::devserver {
namespace {

constexpr int kMaxNesting = 64;

bool IsAlpha(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

struct FunctionShape {
    const char* shortName;
    const char* longName;
    std::size_t minArgs, maxArgs;
    bool variableFirst;  // $GET and $DATA take a variable, not a value
};

constexpr FunctionShape kFunctions[] = {
    {"P", "PIECE", 2, 4, false},   {"G", "GET", 1, 2, true},     {"D", "DATA", 1, 1, true},
    {"E", "EXTRACT", 1, 3, false}, {"L", "LENGTH", 1, 2, false},
};

class Parser {
  public:
    explicit Parser(std::string_view code) : code_(code) {}

    MScreenProgram Program() {
        MScreenProgram program;
        while (pos_ < code_.size() && code_[pos_] == ' ')
            ++pos_;
        while (pos_ < code_.size()) {
            if (code_[pos_] == ';') break;  // a comment ends the line
            program.commands.push_back(Command());
            if (pos_ >= code_.size()) break;
            if (code_[pos_] != ' ') Syntax("a space is expected after the command's arguments");
            while (pos_ < code_.size() && code_[pos_] == ' ')
                ++pos_;
        }
        return program;
    }

  private:
    [[noreturn]] void Syntax(const std::string& what, std::size_t at) const {
        throw ScreenCodeError(false, "The screen has a syntax error at character " +
                                         std::to_string(at + 1) + ": " + what + ".");
    }
    [[noreturn]] void Syntax(const std::string& what) const { Syntax(what, pos_); }
    [[noreturn]] static void Unsupported(const std::string& what) {
        throw ScreenCodeError(true, "The screen uses " + what + ", which is not supported.");
    }

    char Peek(std::size_t ahead = 0) const {
        return pos_ + ahead < code_.size() ? code_[pos_ + ahead] : '\0';
    }
    bool AtEnd() const { return pos_ >= code_.size(); }
    void Expect(char c, const char* what) {
        if (Peek() != c) Syntax(what);
        ++pos_;
    }

    MCommand Command() {
        const std::size_t start = pos_;
        std::string word;
        while (IsAlpha(Peek()))
            word += code_[pos_++];
        if (word.empty()) Syntax("a command is expected");
        const std::string upper = Upper(word);
        MCommand command;
        if (upper == "I" || upper == "IF")
            command.kind = MCommand::Kind::If;
        else if (upper == "S" || upper == "SET")
            command.kind = MCommand::Kind::Set;
        else if (upper == "N" || upper == "NEW")
            command.kind = MCommand::Kind::New;
        else
            Unsupported("the command " + word);
        if (Peek() == ':') Unsupported("post-conditions (" + word + ":)");
        const bool argumentless = AtEnd() || (Peek() == ' ' && (Peek(1) == ' ' || Peek(1) == '\0'));
        if (!argumentless && Peek() != ' ') Syntax("a space is expected after the command", pos_);
        if (argumentless) {
            if (command.kind == MCommand::Kind::If) return command;
            if (command.kind == MCommand::Kind::New) Unsupported("NEW without arguments");
            Syntax("SET needs an argument", start);
        }
        ++pos_;  // the space before the arguments
        for (;;) {
            switch (command.kind) {
                case MCommand::Kind::If:
                    command.conditions.push_back(Expression());
                    break;
                case MCommand::Kind::Set:
                    command.sets.push_back(SetArgument());
                    break;
                case MCommand::Kind::New:
                    command.names.push_back(NewArgument());
                    break;
            }
            if (Peek() != ',') break;
            ++pos_;
        }
        return command;
    }

    MSetArgument SetArgument() {
        switch (Peek()) {
            case '(':
                Unsupported("SET of several variables at once");
            case '^':
                Unsupported("SET of a global (a screen only reads)");
            case '$':
                Unsupported("SET of a function ($PIECE or $EXTRACT on the left)");
            case '@':
                Unsupported("indirection (@)");
            default:
                break;
        }
        MSetArgument argument;
        argument.name = LocalName();
        if (Peek() == '(') Unsupported("subscripted local variables");
        Expect('=', "\"=\" is expected after the variable");
        argument.value = Expression();
        return argument;
    }

    std::string NewArgument() {
        if (Peek() == '(') Unsupported("the exclusive NEW");
        if (Peek() == '@') Unsupported("indirection (@)");
        if (Peek() == '$') Unsupported("NEW of a special variable");
        std::string name = LocalName();
        if (Peek() == '(') Syntax("NEW takes unsubscripted names");
        return name;
    }

    std::string LocalName() {
        std::string name;
        if (Peek() == '%' || IsAlpha(Peek()))
            name += code_[pos_++];
        else
            Syntax("a variable name is expected");
        while (IsAlpha(Peek()) || IsDigit(Peek()))
            name += code_[pos_++];
        return name;
    }

    // expression: atom, then binary operators and their operands, strictly left to right.
    std::unique_ptr<MExpr> Expression() {
        auto first = Atom();
        std::vector<MOperation> operations;
        for (;;) {
            const std::size_t at = pos_;
            std::string op;
            const char c = Peek();
            if (c == '\'') {
                const char n = Peek(1);
                if (n == ']' && Peek(2) == ']') Unsupported("the operator ']]");
                if (std::string_view("=<>[]?&!").find(n) == std::string_view::npos || n == '\0')
                    Syntax("an operator is expected after \"'\"", at + 1);
                op = std::string("'") + n;
                pos_ += 2;
            } else if (c == '*' && Peek(1) == '*') {
                Unsupported("the operator **");
            } else if (c == ']' && Peek(1) == ']') {
                Unsupported("the operator ]]");
            } else if (c != '\0' &&
                       std::string_view("_+-*/\\#=<>[]?&!").find(c) != std::string_view::npos) {
                op = std::string(1, c);
                ++pos_;
            } else {
                break;
            }
            MOperation operation;
            operation.op = op;
            if (op == "?" || op == "'?") {
                PatternProblem problem;
                if (!ParsePattern(code_, pos_, operation.pattern, problem)) {
                    if (problem.unsupported) Unsupported(problem.what);
                    Syntax(problem.what, problem.column);
                }
            } else {
                operation.operand = Atom();
            }
            operations.push_back(std::move(operation));
        }
        if (operations.empty()) return first;
        auto chain = std::make_unique<MExpr>();
        chain->kind = MExpr::Kind::Chain;
        chain->args.push_back(std::move(first));
        chain->operations = std::move(operations);
        return chain;
    }

    struct Nesting {
        explicit Nesting(Parser& p) : parser(p) {
            if (++parser.depth_ > kMaxNesting)
                Unsupported("expressions nested more than " + std::to_string(kMaxNesting) +
                            " deep");
        }
        ~Nesting() { --parser.depth_; }
        Parser& parser;
    };

    std::unique_ptr<MExpr> Atom() {
        Nesting nesting(*this);
        auto e = std::make_unique<MExpr>();
        const char c = Peek();
        if (c == '"') {
            e->kind = MExpr::Kind::String;
            e->text = StringLiteral();
        } else if (IsDigit(c) || (c == '.' && IsDigit(Peek(1)))) {
            e->kind = MExpr::Kind::Number;
            e->text = NumberLiteral();
        } else if (c == '^') {
            return GlobalReference();
        } else if (c == '$') {
            return Function();
        } else if (c == '(') {
            ++pos_;
            auto inner = Expression();
            Expect(')', "\")\" is expected");
            return inner;
        } else if (c == '\'' || c == '-' || c == '+') {
            ++pos_;
            e->kind = MExpr::Kind::Unary;
            e->text = std::string(1, c);
            e->args.push_back(Atom());
        } else if (c == '@') {
            Unsupported("indirection (@)");
        } else if (c == '%' || IsAlpha(c)) {
            e->kind = MExpr::Kind::Local;
            e->text = LocalName();
            if (Peek() == '(') Unsupported("subscripted local variables");
        } else {
            Syntax("an expression is expected");
        }
        return e;
    }

    std::string StringLiteral() {
        const std::size_t start = pos_;
        ++pos_;
        std::string text;
        for (;;) {
            if (AtEnd()) Syntax("the string is not closed", start);
            const char c = code_[pos_++];
            if (c == '"') {
                if (Peek() != '"') break;
                ++pos_;
            }
            text += c;
        }
        return text;
    }

    std::string NumberLiteral() {
        const std::size_t start = pos_;
        while (IsDigit(Peek()))
            ++pos_;
        if (Peek() == '.') {
            ++pos_;
            while (IsDigit(Peek()))
                ++pos_;
        }
        if (Peek() == 'E') {
            std::size_t ahead = 1;
            if (Peek(1) == '+' || Peek(1) == '-') ahead = 2;
            if (IsDigit(Peek(ahead))) {
                pos_ += ahead;
                while (IsDigit(Peek()))
                    ++pos_;
            }
        }
        try {
            return NumericInterpretation(code_.substr(start, pos_ - start));
        } catch (const MRuntimeError&) {
            Syntax("the number is too large", start);
        }
    }

    std::vector<std::unique_ptr<MExpr>> Subscripts() {
        std::vector<std::unique_ptr<MExpr>> subscripts;
        Expect('(', "\"(\" is expected");
        for (;;) {
            subscripts.push_back(Expression());
            if (Peek() == ',') {
                ++pos_;
                continue;
            }
            Expect(')', "\")\" or \",\" is expected");
            return subscripts;
        }
    }

    std::unique_ptr<MExpr> GlobalReference() {
        Nesting nesting(*this);
        ++pos_;  // ^
        auto e = std::make_unique<MExpr>();
        if (Peek() == '(') {
            e->kind = MExpr::Kind::Naked;
            e->args = Subscripts();
            return e;
        }
        if (Peek() == '|' || Peek() == '[') Unsupported("extended global references");
        if (Peek() == '@') Unsupported("indirection (@)");
        if (!(Peek() == '%' || IsAlpha(Peek()))) Syntax("a global name is expected");
        e->kind = MExpr::Kind::Global;
        e->text += code_[pos_++];
        while (IsAlpha(Peek()) || IsDigit(Peek()))
            e->text += code_[pos_++];
        if (Peek() == '(') e->args = Subscripts();
        return e;
    }

    // A variable for $GET and $DATA: a local, a global or a naked reference.
    std::unique_ptr<MExpr> Variable() {
        const char c = Peek();
        if (c == '^') return GlobalReference();
        if (c == '@') Unsupported("indirection (@)");
        if (c == '%' || IsAlpha(c)) {
            auto e = std::make_unique<MExpr>();
            e->kind = MExpr::Kind::Local;
            e->text = LocalName();
            if (Peek() == '(') Unsupported("subscripted local variables");
            return e;
        }
        Syntax("a variable is expected");
    }

    std::unique_ptr<MExpr> Function() {
        Nesting nesting(*this);
        const std::size_t start = pos_;
        ++pos_;  // $
        if (Peek() == '$') Unsupported("extrinsic functions ($$)");
        std::string name;
        while (IsAlpha(Peek()))
            name += code_[pos_++];
        if (name.empty()) Syntax("a function name is expected after \"$\"", start);
        const std::string upper = Upper(name);
        const FunctionShape* shape = nullptr;
        for (const FunctionShape& f : kFunctions)
            if (upper == f.shortName || upper == f.longName) shape = &f;
        if (Peek() != '(') {
            if (shape) Syntax("\"(\" is expected after $" + name);
            Unsupported("the special variable $" + name);
        }
        if (!shape) Unsupported("the function $" + name);
        ++pos_;  // (
        auto e = std::make_unique<MExpr>();
        e->kind = MExpr::Kind::Function;
        e->text = shape->shortName;
        for (;;) {
            if (e->args.empty() && shape->variableFirst)
                e->args.push_back(Variable());
            else
                e->args.push_back(Expression());
            if (Peek() != ',') break;
            ++pos_;
        }
        Expect(')', "\")\" or \",\" is expected");
        if (e->args.size() < shape->minArgs || e->args.size() > shape->maxArgs)
            Syntax("$" + name + " takes " + std::to_string(shape->minArgs) +
                       (shape->maxArgs > shape->minArgs ? " to " + std::to_string(shape->maxArgs)
                                                        : std::string()) +
                       " arguments",
                   start);
        return e;
    }

    std::string_view code_;
    std::size_t pos_ = 0;
    int depth_ = 0;
};

}  // namespace

MScreenProgram ParseScreen(std::string_view code) {
    if (code.size() > kMaxScreenLength)
        throw ScreenCodeError(true, "The screen uses more than " +
                                        std::to_string(kMaxScreenLength) +
                                        " characters, which is not supported.");
    return Parser(code).Program();
}

}  // namespace vorn::devserver
