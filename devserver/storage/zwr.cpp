#include "devserver/storage/zwr.h"

#include <cctype>
#include <istream>
#include <ostream>

namespace vorn::devserver {
namespace {

bool Printable(unsigned char c) {
    return c >= 32 && c < 127;
}

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    ZwrNode Node() {
        ZwrNode node;
        Expect('^');
        while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) ||
                                       (pos_ == 1 && text_[pos_] == '%')))
            node.ref.name += text_[pos_++];
        if (node.ref.name.empty()) Fail("a global name");
        if (Peek() == '(') {
            ++pos_;
            for (;;) {
                node.ref.subscripts.push_back(Subscript());
                if (Peek() == ',') {
                    ++pos_;
                    continue;
                }
                Expect(')');
                break;
            }
        }
        Expect('=');
        node.value = StringExpression();
        if (pos_ != text_.size()) Fail("the end of the line");
        return node;
    }

  private:
    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    void Expect(char c) {
        if (Peek() != c) Fail(std::string("\"") + c + "\"");
        ++pos_;
    }
    [[noreturn]] void Fail(const std::string& expected) const {
        throw ZwrError("column " + std::to_string(pos_ + 1) + ": " + expected + " expected");
    }

    std::string Subscript() {
        if (Peek() == '"' || Peek() == '$') {
            std::string s = StringExpression();
            if (s.empty()) Fail("a non-empty subscript");
            return s;
        }
        std::string number;
        while (pos_ < text_.size() && (std::isdigit(static_cast<unsigned char>(Peek())) ||
                                       Peek() == '.' || Peek() == '-' || Peek() == '+'))
            number += text_[pos_++];
        if (number.empty()) Fail("a subscript");
        return CanonicNumber(number);
    }

    // "..." and $C(n,...) joined by "_".
    std::string StringExpression() {
        std::string out;
        for (;;) {
            if (Peek() == '"') {
                ++pos_;
                for (;;) {
                    if (pos_ >= text_.size()) Fail("a closing quote");
                    const char c = text_[pos_++];
                    if (c == '"') {
                        if (Peek() == '"') {
                            out += '"';
                            ++pos_;
                            continue;
                        }
                        break;
                    }
                    out += c;
                }
            } else if (text_.substr(pos_, 3) == "$C(") {
                pos_ += 3;
                for (;;) {
                    int code = 0, digits = 0;
                    while (std::isdigit(static_cast<unsigned char>(Peek())) && digits < 4) {
                        code = code * 10 + (text_[pos_++] - '0');
                        ++digits;
                    }
                    if (digits == 0 || code > 255) Fail("a character code from 0 to 255");
                    out += static_cast<char>(code);
                    if (Peek() == ',') {
                        ++pos_;
                        continue;
                    }
                    Expect(')');
                    break;
                }
            } else {
                Fail("a quoted string");
            }
            if (Peek() != '_') return out;
            ++pos_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string ZwrString(std::string_view text) {
    std::string out;
    bool inQuotes = false, inCodes = false;
    for (unsigned char c : text) {
        if (Printable(c)) {
            if (inCodes) {
                out += ')';
                inCodes = false;
            }
            if (!inQuotes) {
                if (!out.empty()) out += '_';
                out += '"';
                inQuotes = true;
            }
            out += static_cast<char>(c);
            if (c == '"') out += '"';
        } else {
            if (inQuotes) {
                out += '"';
                inQuotes = false;
            }
            if (inCodes) {
                out += ',';
            } else {
                if (!out.empty()) out += '_';
                out += "$C(";
                inCodes = true;
            }
            out += std::to_string(c);
        }
    }
    if (inQuotes) out += '"';
    if (inCodes) out += ')';
    if (out.empty()) out = "\"\"";
    return out;
}

std::string FormatZwr(const GlobalRef& ref, std::string_view value) {
    std::string out = "^" + ref.name;
    if (!ref.subscripts.empty()) {
        out += '(';
        for (std::size_t i = 0; i < ref.subscripts.size(); ++i) {
            if (i) out += ',';
            out += IsCanonicNumber(ref.subscripts[i]) ? ref.subscripts[i]
                                                      : ZwrString(ref.subscripts[i]);
        }
        out += ')';
    }
    out += '=';
    out += ZwrString(value);
    return out;
}

ZwrNode ParseZwr(std::string_view line) {
    return Parser(line).Node();
}

std::size_t ImportZwr(GlobalStore& store, std::istream& in, const std::string& source) {
    std::string line;
    std::size_t count = 0, number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        try {
            const ZwrNode node = ParseZwr(line);
            store.Set(node.ref, node.value);
        } catch (const ZwrError& e) {
            throw ZwrError(source + ":" + std::to_string(number) + ": " + e.what());
        }
        ++count;
    }
    return count;
}

void ExportZwr(GlobalStore& store, std::ostream& out) {
    for (const std::string& name : store.GlobalNames()) {
        store.Walk(GlobalRef{name, {}}, [&](const GlobalRef& ref, const std::string& value) {
            out << FormatZwr(ref, value) << '\n';
            return true;
        });
    }
}

}  // namespace vorn::devserver
