#include "devserver/storage/gtm_name.h"

namespace vorn::devserver {
namespace {

bool IsNameChar(char c, bool first) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (first && c == '%') ||
           (!first && c >= '0' && c <= '9');
}

class NameReader {
  public:
    explicit NameReader(std::string_view text) : text_(text) {}

    std::optional<GlobalRef> Read() {
        GlobalRef ref;
        if (!Take('^')) return std::nullopt;
        while (pos_ < text_.size() && IsNameChar(text_[pos_], ref.name.empty()))
            ref.name += text_[pos_++];
        if (ref.name.empty()) return std::nullopt;
        if (AtEnd()) return ref;
        if (!Take('(')) return std::nullopt;
        do {
            std::optional<std::string> s = Subscript();
            if (!s) return std::nullopt;
            ref.subscripts.push_back(std::move(*s));
        } while (Take(','));
        if (!Take(')') || !AtEnd()) return std::nullopt;
        return ref;
    }

  private:
    bool AtEnd() const { return pos_ == text_.size(); }
    bool Take(char c) {
        if (AtEnd() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }
    bool Take(std::string_view s) {
        if (text_.substr(pos_, s.size()) != s) return false;
        pos_ += s.size();
        return true;
    }

    std::optional<std::string> Subscript() {
        if (AtEnd()) return std::nullopt;
        if (text_[pos_] != '"' && text_[pos_] != '$') return Number();
        std::string out;
        do {
            if (!(Take('"') ? Quoted(out) : Take("$C(") && Characters(out))) return std::nullopt;
        } while (Take('_'));
        // Our databases allow no empty subscript, so GT.M never names one.
        if (out.empty()) return std::nullopt;
        return out;
    }

    // The rest of a quoted run, its opening quote taken.
    bool Quoted(std::string& out) {
        for (;;) {
            if (AtEnd()) return false;
            const char c = text_[pos_++];
            if (c != '"') {
                out += c;
            } else if (Take('"')) {
                out += '"';
            } else {
                return true;
            }
        }
    }

    // The codes of a $C(...), "$C(" taken.
    bool Characters(std::string& out) {
        do {
            int code = 0, digits = 0;
            while (!AtEnd() && text_[pos_] >= '0' && text_[pos_] <= '9' && digits < 4) {
                code = code * 10 + (text_[pos_++] - '0');
                ++digits;
            }
            if (digits == 0 || code > 255) return false;
            out += static_cast<char>(code);
        } while (Take(','));
        return Take(')');
    }

    std::optional<std::string> Number() {
        const std::size_t from = pos_;
        while (!AtEnd() && (text_[pos_] == '-' || text_[pos_] == '.' ||
                            (text_[pos_] >= '0' && text_[pos_] <= '9')))
            ++pos_;
        std::string n(text_.substr(from, pos_ - from));
        if (!IsCanonicNumber(n)) return std::nullopt;
        return n;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::optional<GlobalRef> ParseGtmName(std::string_view text) {
    return NameReader(text).Read();
}

}  // namespace vorn::devserver
