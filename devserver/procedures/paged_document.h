// The layout of a printed document: pages of at most kPageLines lines, each starting with the
// heading (title, date and page number, column labels, a rule), separated by a line that begins
// with a form feed. The client starts a new printed page at such a line and does not print it;
// 60 lines fit the page it prints (68 line steps, less its margins), so no page breaks twice.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vorn::devserver {

inline constexpr std::size_t kPageLines = 60;
inline constexpr std::size_t kHeadingWidth = 80;
// The separator line between two pages.
inline constexpr const char* kPageBreak = "\f";

struct PageHeading {
    bool shown = true;    // DHD "@": no heading lines at all
    std::string title;    // left: the report's heading or the file's name
    std::string date;     // right, before the page number: "DEC 6, 2026"
    std::string columns;  // column labels of a field list; "" for none
};

// The document: `body` laid out on pages under `heading`. Blank lines at the top of a page are
// dropped, and a body line that a client would read as a reply's section marker ("[Data]") or
// that holds control characters is made harmless, so that paging never splits a document.
std::vector<std::string> LayOutPages(const std::vector<std::string>& body,
                                     const PageHeading& heading);

// `text` padded with blanks to `width` (longer text as it stands).
std::string Padded(const std::string& text, std::size_t width);
// The text without blanks at its end.
std::string TrimmedRight(std::string text);

}  // namespace vorn::devserver
