// Printed PDF files read back as text with pdftotext, keeping the layout of the page.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace vorn::test {

// Sets `text` to the text of the PDF file `pdf`; false when pdftotext did not finish.
inline bool ReadPdfText(const QString& pdf, QString& text) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    const bool finished = p.waitForFinished();
    text = QString::fromUtf8(p.readAllStandardOutput());
    return finished;
}

// The text of each page of a PDF file, each line without its surrounding blanks and without
// empty lines.
inline QStringList PdfPages(const QString& pdf) {
    QString text;
    ReadPdfText(pdf, text);
    QStringList pages = text.split(u'\f');
    if (!pages.isEmpty() && pages.last().isEmpty()) pages.removeLast();
    for (QString& page : pages)
        page = page.split(u'\n', Qt::SkipEmptyParts)
                   .replaceInStrings(QRegularExpression("^\\s+|\\s+$"), "")
                   .join(u'\n');
    return pages;
}

}  // namespace vorn::test
