#include "common/scramble.h"

#include <mutex>
#include <random>
#include <stdexcept>

#include "common/cipher_pad.h"

namespace vorn {
namespace {

std::string Substitute(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto p = from.find(c);
        out += p == std::string_view::npos ? c : to[p];
    }
    return out;
}

// Seeded once from the system's entropy source; reseeding from the clock on each call would
// give two calls in one clock tick the same rows.
struct RowPicker {
    std::mutex mutex;
    std::mt19937 engine{std::random_device{}()};

    std::pair<int, int> Pick() {
        std::lock_guard lock(mutex);
        std::uniform_int_distribution<int> row(0, kCipherPadRows - 1);
        const int a = row(engine);
        int b = row(engine);
        while (b == a)
            b = row(engine);
        return {a, b};
    }
};

RowPicker& Picker() {
    static RowPicker picker;
    return picker;
}

bool IsRow(int row) {
    return row >= 0 && row < static_cast<int>(kCipherPadRows);
}

}  // namespace

std::string ScrambleWithRows(std::string_view text, int fromRow, int toRow) {
    if (!IsRow(fromRow) || !IsRow(toRow) || fromRow == toRow)
        throw std::invalid_argument("scramble needs two different rows from 0 to 19");
    std::string out;
    out.reserve(text.size() + 2);
    out += static_cast<char>(fromRow + 32);
    out += Substitute(text, kCipherPad[fromRow], kCipherPad[toRow]);
    out += static_cast<char>(toRow + 32);
    return out;
}

std::string Scramble(std::string_view text) {
    const auto [a, b] = Picker().Pick();
    return ScrambleWithRows(text, a, b);
}

std::string Unscramble(std::string_view scrambled) {
    if (scrambled.size() < 2) return {};
    const int a = static_cast<unsigned char>(scrambled.front()) - 32;
    const int b = static_cast<unsigned char>(scrambled.back()) - 32;
    // Equal rows substitute nothing: such a text is the code in clear, which no client sends.
    if (!IsRow(a) || !IsRow(b) || a == b) return {};
    return Substitute(scrambled.substr(1, scrambled.size() - 2), kCipherPad[b], kCipherPad[a]);
}

}  // namespace vorn
