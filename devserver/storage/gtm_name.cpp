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

    // The global's name, then each subscript in turn to `sink`; false when the text is no name.
    template <typename Sink>
    bool Read(std::string& name, Sink&& sink) {
        if (!Take('^')) return false;
        while (pos_ < text_.size() && IsNameChar(text_[pos_], name.empty()))
            name += text_[pos_++];
        if (name.empty()) return false;
        if (AtEnd()) return true;
        if (!Take('(')) return false;
        std::string subscript;
        do {
            subscript.clear();
            if (!Subscript(subscript)) return false;
            sink(subscript);
        } while (Take(','));
        return Take(')') && AtEnd();
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

    bool Subscript(std::string& out) {
        if (AtEnd()) return false;
        if (text_[pos_] != '"' && text_[pos_] != '$') return Number(out);
        do {
            if (!(Take('"') ? Quoted(out) : Take("$C(") && Characters(out))) return false;
        } while (Take('_'));
        // Our databases allow no empty subscript, so GT.M never names one.
        return !out.empty();
    }

    // The rest of a quoted run, its opening quote taken.
    bool Quoted(std::string& out) {
        for (;;) {
            // Up to the next quote in one piece: it ends the run unless another follows.
            const std::size_t quote = text_.find('"', pos_);
            if (quote == std::string_view::npos) return false;
            out.append(text_.data() + pos_, quote - pos_);
            pos_ = quote + 1;
            if (!Take('"')) return true;
            out += '"';
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

    bool Number(std::string& out) {
        const std::size_t from = pos_;
        while (!AtEnd() && (text_[pos_] == '-' || text_[pos_] == '.' ||
                            (text_[pos_] >= '0' && text_[pos_] <= '9')))
            ++pos_;
        out = text_.substr(from, pos_ - from);
        return IsCanonicNumber(out);
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::optional<GlobalRef> ParseGtmName(std::string_view text) {
    GlobalRef ref;
    if (!NameReader(text).Read(ref.name,
                               [&](const std::string& s) { ref.subscripts.push_back(s); }))
        return std::nullopt;
    return ref;
}

std::optional<std::string> GtmNameKey(std::string_view text) {
    std::string name, key;
    if (!NameReader(text).Read(name, [&](const std::string& s) { AppendEncoded(key, s); }))
        return std::nullopt;
    return key;
}

}  // namespace vorn::devserver
