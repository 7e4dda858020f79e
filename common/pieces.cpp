#include "common/pieces.h"

#include <vector>

namespace vorn::mstring {

std::string Piece(std::string_view text, char delimiter, int n) {
    if (n < 1) return {};
    std::size_t start = 0;
    for (int i = 1; i < n; ++i) {
        const auto at = text.find(delimiter, start);
        if (at == std::string_view::npos) return {};
        start = at + 1;
    }
    const auto end = text.find(delimiter, start);
    return std::string(text.substr(start, end == std::string_view::npos ? text.npos : end - start));
}

std::string SetPiece(std::string_view text, char delimiter, int n, std::string_view value) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const auto at = text.find(delimiter, start);
        pieces.emplace_back(
            text.substr(start, at == std::string_view::npos ? text.npos : at - start));
        if (at == std::string_view::npos) break;
        start = at + 1;
    }
    if (static_cast<int>(pieces.size()) < n) pieces.resize(static_cast<std::size_t>(n));
    pieces[static_cast<std::size_t>(n - 1)] = value;
    std::string out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i) out += delimiter;
        out += pieces[i];
    }
    return out;
}

}  // namespace vorn::mstring
