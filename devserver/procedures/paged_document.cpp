#include "devserver/procedures/paged_document.h"

#include <array>
#include <string_view>

namespace vorn::devserver {
namespace {

// The lines the client's section reader takes for markers, compared whole.
constexpr std::array<std::string_view, 7> kMarkers = {
    "[Data]",       "[Misc]",           "[Errors]",      "[BEGIN_diDATA]",
    "[END_diDATA]", "[BEGIN_diERRORS]", "[BEGIN_diHELP]"};

std::string Harmless(std::string line) {
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 32 || c == 127) c = ' ';
    for (std::string_view marker : kMarkers)
        if (line == marker) return " " + line;
    return line;
}

std::vector<std::string> HeadingLines(const PageHeading& heading, std::size_t page) {
    if (!heading.shown) return {};
    const std::string right = heading.date + "  PAGE " + std::to_string(page);
    std::string first = heading.title + "  ";
    if (first.size() + right.size() < kHeadingWidth)
        first.append(kHeadingWidth - first.size() - right.size(), ' ');
    std::vector<std::string> lines{Harmless(first + right)};
    if (!heading.columns.empty()) lines.push_back(Harmless(heading.columns));
    lines.emplace_back(kHeadingWidth, '-');
    return lines;
}

}  // namespace

std::vector<std::string> LayOutPages(const std::vector<std::string>& body,
                                     const PageHeading& heading) {
    std::vector<std::string> out;
    std::size_t page = 0, onPage = kPageLines, headingSize = 0;
    auto startPage = [&] {
        if (page > 0) out.emplace_back(kPageBreak);
        const auto lines = HeadingLines(heading, ++page);
        out.insert(out.end(), lines.begin(), lines.end());
        onPage = headingSize = lines.size();
    };
    for (const std::string& line : body) {
        if (onPage >= kPageLines) startPage();
        if (onPage == headingSize && line.find_first_not_of(' ') == std::string::npos) continue;
        out.push_back(Harmless(line));
        ++onPage;
    }
    if (page == 0) startPage();
    return out;
}

std::string Padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string TrimmedRight(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

}  // namespace vorn::devserver
