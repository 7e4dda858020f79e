#include "devserver/m/text.h"

namespace vorn::devserver {

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::vector<std::string> SplitText(std::string_view text, char delimiter) {
    std::vector<std::string> out;
    for (;;) {
        const auto at = text.find(delimiter);
        out.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos) return out;
        text.remove_prefix(at + 1);
    }
}

std::vector<std::string> Words(std::string_view text, std::string_view separators) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while ((start = text.find_first_not_of(separators, start)) != std::string_view::npos) {
        const auto end = text.find_first_of(separators, start);
        out.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos) break;
        start = end;
    }
    return out;
}

std::string_view Trimmed(std::string_view text, std::string_view blanks) {
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace vorn::devserver
