#include "output/internal/line_printing.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace vorn {

QPrinter& WorkstationPrinter() {
    // Made on first use (a printer needs the application), and gone with the application.
    static QPrinter* printer = [] {
        auto* made = new QPrinter(QPrinter::HighResolution);
        qAddPostRoutine([] { delete &WorkstationPrinter(); });
        return made;
    }();
    return *printer;
}

namespace printing {
namespace {

constexpr QChar kFormFeed = QChar(12);

}  // namespace

int LineStep(int pageHeight) {
    return std::max(1, (pageHeight - kTop) / kLinesPerHeight);
}

std::vector<PlacedLine> PlaceLines(const QStringList& lines, int pageHeight) {
    std::vector<PlacedLine> placed;
    const int step = LineStep(pageHeight);
    int page = 0;
    int y = kTop;
    bool pageUsed = false;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(kFormFeed)) {
            if (pageUsed) {
                ++page;
                y = kTop;
                pageUsed = false;
            }
            continue;
        }
        placed.push_back({page, y, i});
        pageUsed = true;
        y += step;
        if (y >= pageHeight - kBottomMargin) {
            ++page;
            y = kTop;
            pageUsed = false;
        }
    }
    return placed;
}

bool PrintLines(QPrinter& printer, const QStringList& lines, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    const QString where = printer.outputFileName().isEmpty()
                              ? QStringLiteral("the printer \"%1\"").arg(printer.printerName())
                              : printer.outputFileName();
    QPainter painter;
    if (!painter.begin(&printer)) return fail(where + QStringLiteral(" could not be opened"));
    const int dpi = printer.resolution();
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(std::max(1, dpi * 10 / 72));
    painter.setFont(font);
    const int ascent = QFontMetrics(font, &printer).ascent();
    const int pageHeight = printer.pageLayout().paintRectPixels(dpi).height();
    int page = 0;
    for (const PlacedLine& line : PlaceLines(lines, pageHeight)) {
        for (; page < line.page; ++page)
            if (!printer.newPage()) {
                painter.end();
                return fail(where + QStringLiteral(" took no further page"));
            }
        painter.drawText(kLeft, line.y + ascent, lines[line.index]);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return fail(where + QStringLiteral(" did not take the document"));
    return true;
}

QStringList SelectionLines(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(u'\r', u'\n');
    plain.replace(QChar::ParagraphSeparator, u'\n');
    plain.replace(QChar::LineSeparator, u'\n');
    QStringList lines = plain.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

}  // namespace printing
}  // namespace vorn
