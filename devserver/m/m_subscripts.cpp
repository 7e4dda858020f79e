#include "devserver/m/m_subscripts.h"

#include <cctype>
#include <optional>

namespace vorn::devserver {
namespace {

bool LooksNumeric(std::string_view s) {
    if (s.empty()) return false;
    std::size_t i = 0;
    if (s[0] == '-' || s[0] == '+') i = 1;
    bool digit = false, point = false;
    for (; i < s.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(s[i])))
            digit = true;
        else if (s[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

std::optional<Subscripts> Strict(std::string_view text) {
    Subscripts out;
    std::size_t i = 0;
    for (;;) {
        std::string sub;
        if (i < text.size() && text[i] == '"') {
            ++i;
            for (;;) {
                if (i >= text.size()) return std::nullopt;  // open quote
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        sub += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                sub += text[i++];
            }
            if (i < text.size() && text[i] != ',') return std::nullopt;
        } else {
            const auto comma = text.find(',', i);
            const std::string_view word =
                text.substr(i, comma == std::string_view::npos ? text.npos : comma - i);
            if (word.find('"') != std::string_view::npos) return std::nullopt;
            sub = LooksNumeric(word) ? CanonicNumber(word) : std::string(word);
            i += word.size();
        }
        if (sub.empty()) return std::nullopt;
        out.push_back(std::move(sub));
        if (i >= text.size()) return out;
        ++i;                                        // the comma
        if (i >= text.size()) return std::nullopt;  // a trailing comma
    }
}

}  // namespace

Subscripts ParseSubscriptText(std::string_view text) {
    if (auto parsed = Strict(text)) return *parsed;
    return {std::string(text)};
}

}  // namespace vorn::devserver
