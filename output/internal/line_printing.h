// Printing lines of text on the workstation's printer: a fixed-pitch font of 10 points, 68
// lines to the page height, a line that begins with a form feed starting a new page.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QPrinter;

namespace vorn {

// The printer of the workstation, one for the whole program as the printer dialogs set it up:
// the device dialog's and the preview's dialogs choose it, and printing uses it.
QPrinter& WorkstationPrinter();

namespace printing {

// Where a printed line goes: its page (from 0), its top in printer pixels, and which line of
// the text it is.
struct PlacedLine {
    int page = 0;
    int y = 0;
    int index = 0;
};

inline constexpr int kTop = 80;
inline constexpr int kLeft = 150;
inline constexpr int kBottomMargin = 100;
inline constexpr int kLinesPerHeight = 68;

// (pageHeight - 80) div 68, at least 1.
int LineStep(int pageHeight);

// The lines on their pages. Each page starts at y = 80; after a line the next one is a step
// lower, and a page that has reached pageHeight - 100 is full. A line that begins with a form
// feed is not printed and ends its page, unless nothing is on that page yet: a form feed never
// makes an empty page, neither after a full page nor at the start.
std::vector<PlacedLine> PlaceLines(const QStringList& lines, int pageHeight);

// Prints `lines` on `printer` in "Courier New" of 10 points at the printer's resolution. False,
// with the reason in `error`, when the printer could not be used.
bool PrintLines(QPrinter& printer, const QStringList& lines, QString* error);

// The lines of a text as the preview's selection gives them: broken at each line break (CR LF
// and CR, LF, or the paragraph separator), a last line without a break of its own kept, and
// none made of the end of the text.
QStringList SelectionLines(const QString& text);

}  // namespace printing
}  // namespace vorn
