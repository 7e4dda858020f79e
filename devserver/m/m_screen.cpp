#include "devserver/m/m_screen.h"

#include <map>

#include "devserver/m/m_screen_number.h"

namespace vorn::devserver {
namespace {

class StepsExceeded {};

class Evaluator {
  public:
    Evaluator(const ScreenEnvironment& environment, const std::string& ien, const GlobalRef& record)
        : env_(environment) {
        locals_["Y"] = ien;
        locals_["U"] = "^";
        locals_["DT"] = environment.dt;
        locals_["DUZ"] = environment.duz;
        // As though the record's node 0 had just been referenced.
        naked_ = record;
    }

    bool Run(const MScreenProgram& program) {
        for (const MCommand& command : program.commands) {
            Charge(1);
            switch (command.kind) {
                case MCommand::Kind::If:
                    if (command.conditions.empty() && !test_) return false;
                    for (const auto& condition : command.conditions) {
                        test_ = TruthValue(Eval(*condition));
                        if (!test_) return false;
                    }
                    break;
                case MCommand::Kind::Set:
                    for (const MSetArgument& set : command.sets)
                        locals_[set.name] = Eval(*set.value);
                    break;
                case MCommand::Kind::New:
                    for (const std::string& name : command.names)
                        locals_.erase(name);
                    break;
            }
        }
        return test_;
    }
    long steps() const { return steps_; }

  private:
    void Charge(long n) {
        steps_ += n;
        if (steps_ > kScreenStepLimit) throw StepsExceeded{};
    }
    // Work that grows with the length of the text handled.
    void ChargeText(std::size_t length) { Charge(1 + static_cast<long>(length / 256)); }

    static std::string Bool(bool b) { return b ? "1" : "0"; }

    std::string Checked(std::string s) {
        if (s.size() > kMaxMString) throw MRuntimeError("<MAXSTRING>");
        return s;
    }

    std::string Eval(const MExpr& e) {
        Charge(1);
        switch (e.kind) {
            case MExpr::Kind::String:
            case MExpr::Kind::Number:
                return e.text;
            case MExpr::Kind::Local: {
                const auto it = locals_.find(e.text);
                if (it == locals_.end()) throw MRuntimeError("<UNDEFINED> " + e.text);
                return it->second;
            }
            case MExpr::Kind::Global:
            case MExpr::Kind::Naked: {
                const GlobalRef ref = Resolve(e);
                auto value = Read(ref);
                if (!value) throw MRuntimeError("<UNDEFINED> " + ref.Text());
                return *value;
            }
            case MExpr::Kind::Unary: {
                const std::string v = Eval(*e.args[0]);
                if (e.text == "'") return Bool(!TruthValue(v));
                if (e.text == "-") return Negate(v);
                return NumericInterpretation(v);
            }
            case MExpr::Kind::Chain:
                return Chain(e);
            case MExpr::Kind::Function:
                return Function(e);
        }
        return {};
    }

    std::string Chain(const MExpr& e) {
        std::string value = Eval(*e.args[0]);
        for (const MOperation& operation : e.operations) {
            if (operation.op == "?" || operation.op == "'?") {
                const bool matched =
                    MatchPattern(operation.pattern, value, [this](long n) { Charge(n); });
                value = Bool(matched == (operation.op == "?"));
                continue;
            }
            // As GT.M does: the operand after & or ! is not evaluated when the left side
            // decides already, so it cannot fail (1/0).
            const char logical = operation.op.back();
            if ((logical == '&' && !TruthValue(value)) || (logical == '!' && TruthValue(value))) {
                value = Bool((logical == '!') != (operation.op.size() == 2));
                continue;
            }
            const std::string right = Eval(*operation.operand);
            value = Apply(operation.op, value, right);
        }
        return value;
    }

    std::string Apply(const std::string& op, const std::string& a, const std::string& b) {
        const bool negated = op.size() == 2;
        const char c = op.back();
        switch (c) {
            case '_':
                ChargeText(a.size() + b.size());
                return Checked(a + b);
            case '+':
                return Arithmetic(ArithmeticOp::Add, a, b);
            case '-':
                return Arithmetic(ArithmeticOp::Subtract, a, b);
            case '*':
                return Arithmetic(ArithmeticOp::Multiply, a, b);
            case '/':
                return Arithmetic(ArithmeticOp::Divide, a, b);
            case '\\':
                return Arithmetic(ArithmeticOp::IntegerDivide, a, b);
            case '#':
                return Arithmetic(ArithmeticOp::Modulo, a, b);
            default:
                break;
        }
        bool truth = false;
        switch (c) {
            case '=':
                ChargeText(std::min(a.size(), b.size()));
                truth = a == b;
                break;
            case '<':
                truth = CompareNumbers(a, b) < 0;
                break;
            case '>':
                truth = CompareNumbers(a, b) > 0;
                break;
            case '[':
                ChargeText(a.size());
                truth = a.find(b) != std::string::npos;
                break;
            case ']':
                ChargeText(std::min(a.size(), b.size()));
                truth = a.compare(b) > 0;  // follows, in character order
                break;
            case '&':
                truth = TruthValue(a) && TruthValue(b);
                break;
            case '!':
                truth = TruthValue(a) || TruthValue(b);
                break;
            default:
                break;
        }
        return Bool(truth != negated);
    }

    // The reference a global or naked expression stands for. Its subscripts are evaluated
    // first, left to right (they may move the naked indicator themselves); then the naked
    // indicator is set to the reference less its last subscript, as M does.
    GlobalRef Resolve(const MExpr& e) {
        Subscripts subscripts;
        for (const auto& s : e.args)
            subscripts.push_back(Eval(*s));
        GlobalRef ref;
        if (e.kind == MExpr::Kind::Naked) {
            if (!naked_) throw MRuntimeError("<NAKED>");
            ref = *naked_;
            for (auto& s : subscripts)
                ref.subscripts.push_back(std::move(s));
        } else {
            ref.name = e.text;
            ref.subscripts = std::move(subscripts);
        }
        if (ref.subscripts.empty()) {
            naked_.reset();
        } else {
            naked_ = ref;
            naked_->subscripts.pop_back();
        }
        return ref;
    }

    static bool Storable(const GlobalRef& ref) {
        for (const auto& s : ref.subscripts)
            if (s.empty()) return false;  // M has no node with an empty subscript
        return !ref.name.empty();
    }

    std::optional<std::string> Read(const GlobalRef& ref) {
        if (!Storable(ref)) return std::nullopt;
        auto value = env_.globals->Get(ref);
        if (value) ChargeText(value->size());
        return value;
    }

    int DataOf(const GlobalRef& ref) {
        Charge(1);
        return Storable(ref) ? env_.globals->Data(ref) : 0;
    }

    std::string Function(const MExpr& e) {
        const char f = e.text[0];
        if (f == 'G' || f == 'D') {
            const MExpr& variable = *e.args[0];
            std::optional<std::string> value;
            int data = 0;
            if (variable.kind == MExpr::Kind::Local) {
                const auto it = locals_.find(variable.text);
                if (it != locals_.end()) value = it->second;
                data = value ? 1 : 0;
            } else {
                const GlobalRef ref = Resolve(variable);
                if (f == 'G')
                    value = Read(ref);
                else
                    data = DataOf(ref);
            }
            if (f == 'D') return std::to_string(data);
            std::string fallback = e.args.size() > 1 ? Eval(*e.args[1]) : std::string();
            return value ? *value : fallback;
        }
        std::vector<std::string> a;
        for (const auto& arg : e.args)
            a.push_back(Eval(*arg));
        switch (f) {
            case 'P':
                return PieceOf(a);
            case 'E':
                return ExtractOf(a);
            case 'L': {
                ChargeText(a[0].size());
                if (a.size() == 1) return std::to_string(a[0].size());
                if (a[1].empty()) return "0";
                long count = 1;
                for (std::size_t at = a[0].find(a[1]); at != std::string::npos;
                     at = a[0].find(a[1], at + a[1].size()))
                    ++count;
                return std::to_string(count);
            }
            default:
                return {};
        }
    }

    // $PIECE(s,d[,n[,m]]): pieces n to m (from 1) of s at the delimiter d.
    std::string PieceOf(const std::vector<std::string>& a) {
        const std::string& s = a[0];
        const std::string& d = a[1];
        ChargeText(s.size());
        const long n = a.size() > 2 ? IntegerInterpretation(a[2]) : 1;
        const long m = a.size() > 3 ? IntegerInterpretation(a[3]) : n;
        if (d.empty() || m < 1 || m < n) return {};
        const long from = n < 1 ? 1 : n;
        std::size_t start = 0;
        long piece = 1;
        while (piece < from) {
            const auto at = s.find(d, start);
            if (at == std::string::npos) return {};
            start = at + d.size();
            ++piece;
        }
        std::size_t end = start;
        for (;;) {
            const auto at = s.find(d, end);
            if (at == std::string::npos) return s.substr(start);
            if (piece == m) return s.substr(start, at - start);
            end = at + d.size();
            ++piece;
        }
    }

    // $EXTRACT(s[,n[,m]]): characters n to m (from 1).
    std::string ExtractOf(const std::vector<std::string>& a) {
        const std::string& s = a[0];
        const long n = a.size() > 1 ? IntegerInterpretation(a[1]) : 1;
        long m = a.size() > 2 ? IntegerInterpretation(a[2]) : n;
        const long length = static_cast<long>(s.size());
        if (m > length) m = length;
        const long from = n < 1 ? 1 : n;
        if (m < from) return {};
        ChargeText(static_cast<std::size_t>(m - from + 1));
        return s.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(m - from + 1));
    }

    const ScreenEnvironment& env_;
    std::map<std::string, std::string> locals_;
    std::optional<GlobalRef> naked_;
    bool test_ = true;
    long steps_ = 0;
};

}  // namespace

MScreen::MScreen(std::string_view code) {
    bool blank = true;
    for (char c : code)
        if (c != ' ') blank = false;
    if (!blank) program_ = std::make_shared<const MScreenProgram>(ParseScreen(code));
}

bool MScreen::Passes(const ScreenEnvironment& environment, const std::string& ien,
                     const GlobalRef& record) const {
    if (!program_) return true;
    Evaluator evaluator(environment, ien, record);
    auto account = [&] {
        if (!environment.spent) return;
        *environment.spent += evaluator.steps();
        if (*environment.spent > environment.callLimit)
            throw ScreenRunError("The screen needs more than " +
                                 std::to_string(environment.callLimit) +
                                 " steps for all the records of this call.");
    };
    try {
        const bool passes = evaluator.Run(*program_);
        account();
        return passes;
    } catch (const StepsExceeded&) {
        throw ScreenRunError("The screen needs more than " + std::to_string(kScreenStepLimit) +
                             " steps on record " + ien + ".");
    } catch (const MRuntimeError& e) {
        throw ScreenRunError("The screen failed on record " + ien + ": " + e.what());
    }
}

}  // namespace vorn::devserver
