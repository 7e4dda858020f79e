// The print component, its preview and the report against the development server: paging,
// progress, printing through QPrinter into PDF files read back with pdftotext, the server's
// printers, and documents of another session.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include "output/line_printing.h"
#include "output/print_form.h"
#include "output/print_requests.h"
#include "output/sel_dev_form.h"
#include "source/no_broker_link.h"
#include "source/timed_dialog.h"
#include "tests/output/output_form.h"
#include "toolkit/document_handoff.h"

namespace vorn {
namespace {

using ui::MessageKind;

class Print : public test::OutputForm {
  protected:
    Print() : Print(test::DevServerProcess::Options{}) {}
    explicit Print(test::DevServerProcess::Options options) : OutputForm(options) {
        dialog->SetPrintDefault(pdScreen);
    }
    // The document of a report run again and paged in by the test itself.
    QStringList Direct() {
        report->Run();
        output::DocumentPaging paging;
        while (paging.Take(
            output::ReadPageAnswer(Broker().Call(output::PageRequest(report->DocumentHandle()))))) {
        }
        return paging.Lines();
    }
    // Answers the preview: its lines, then Close.
    void ExpectPreview(QStringList* lines) {
        modal.OnForm<TfrmPrint>([lines](TfrmPrint& p) {
            *lines = p.Lines();
            p.btnExit->click();
        });
    }
    // The printer set-up answered with a PDF file, and the range `range`.
    QString PrintToPdf(QPrinter::PrintRange range = QPrinter::AllPages) {
        const QString pdf = folder.filePath(QString("print%1.pdf").arg(++pdfs));
        modal.OnPrinterSetup([pdf, range](QPrinter& p, const ui::PrinterChoices&) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf);
            p.setPrintRange(range);
            return true;
        });
        return pdf;
    }
    void ExpectSentToPrinter() {
        test::ExpectToolsetMessage(modal, MessageKind::Information,
                                   "The record was sent to printer.");
    }
    // The text of each page of a PDF file.
    static QStringList PdfPages(const QString& pdf) {
        QProcess p;
        p.start("pdftotext", {"-layout", pdf, "-"});
        p.waitForFinished();
        QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
        if (!pages.isEmpty() && pages.last().isEmpty()) pages.removeLast();
        for (QString& page : pages)
            page = page.split(u'\n', Qt::SkipEmptyParts)
                       .replaceInStrings(QRegularExpression("^\\s+|\\s+$"), "")
                       .join(u'\n');
        return pages;
    }
    QTemporaryDir folder;
    int pdfs = 0;
};

TEST_F(Print, AThreePageDocumentArrivesInOrder) {
    report->FileNumber = "80001";
    report->FieldNumbers = QStringList{"<CAPTIONED>"};
    report->From = "A";
    report->WhereTo = "M";
    const QStringList expected = Direct();
    report->Run();
    const std::size_t mark = CallMark();
    QStringList shown;
    ExpectPreview(&shown);
    print->Print(report->DocumentHandle(), dialog);
    EXPECT_EQ(CallCount(mark, "VRNX OUTCR"), 3u);
    EXPECT_EQ(shown, expected);  // 477 lines: 200, 200 and 77
    EXPECT_FALSE(print->MorePages());
    EXPECT_NE(report->DocumentHandle(), "");
}

TEST_F(Print, EachRunHasItsOwnDocumentAndNoneIsAskedForWithoutAFile) {
    report->FileNumber = "80002";
    const std::size_t mark = CallMark();
    report->Run();
    const QString handle = report->DocumentHandle();
    report->Run();
    EXPECT_NE(report->DocumentHandle(), handle);
    report->FileNumber.clear();
    test::ExpectToolsetMessage(modal, MessageKind::Warning, "File Number is not initialized!");
    report->Run();
    EXPECT_EQ(CallCount(mark, "VRNX REPORT"), 2u);
}

TEST_F(Print, WithoutABrokerNothingIsSentOrShown) {
    report->SetRPCBroker(nullptr);
    print->SetRPCBroker(nullptr);
    EXPECT_THROW(report->Run(), ENoBrokerLink);
    EXPECT_THROW(print->Print("0123", dialog), ENoBrokerLink);
    EXPECT_EQ(ReportWithoutBrokerText("vornReport1"),
              "\"vornReport1\" is not associated with a Broker link.\r\nPlease contact developer "
              "for assistance.\r\nThank you.");
    EXPECT_EQ(PrintWithoutBrokerText("vornPrint1"),
              "\"vornPrint1\" is not assoicated with a Broker link.\r\nPlease contact developer "
              "for assistance.\r\nThank you.");
}

TEST_F(Print, PrintedLinesFollowTheLineStepAndAFormFeedStartsAPage) {
    QPrinter& printer = WorkstationPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath("lines.pdf"));
    const int height = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    const int step = (height - 80) / 68;
    int perPage = 0;
    for (int y = 80; y < height - 100; y += step)
        ++perPage;
    QStringList lines;
    for (int i = 1; i <= perPage + 2; ++i)
        lines << QString("line %1").arg(i);
    lines << "\f"
          << "after the feed";
    ExpectSentToPrinter();
    print->PrintLines(lines);
    const QStringList pages = PdfPages(folder.filePath("lines.pdf"));
    ASSERT_EQ(pages.size(), 3);
    EXPECT_EQ(pages[0].split(u'\n').size(), perPage);
    EXPECT_TRUE(pages[0].endsWith(QString("line %1").arg(perPage)));
    EXPECT_EQ(pages[1], QString("line %1\nline %2").arg(perPage + 1).arg(perPage + 2));
    EXPECT_EQ(pages[2], "after the feed");
}

TEST_F(Print, TheSelectionPrintsItsPartialLastLine) {
    TfrmPrint preview(&Broker());
    preview.SetLines({"alpha one", "beta two", "gamma"});
    QTextCursor cursor = preview.RichEdit1->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(14, QTextCursor::KeepAnchor);
    preview.RichEdit1->setTextCursor(cursor);
    const QString pdf = PrintToPdf(QPrinter::Selection);
    ExpectSentToPrinter();
    preview.btnPrint->click();
    EXPECT_EQ(PdfPages(pdf), QStringList{"one\nbeta"});
    const QString all = PrintToPdf(QPrinter::Selection);
    ExpectSentToPrinter();
    preview.pumPrint->trigger();
    EXPECT_EQ(PdfPages(all), QStringList{"alpha one\nbeta two\ngamma"});
}

TEST_F(Print, WithoutThePrinterThePreviewHasNoPrintCommandAndItsButtonsMoveUp) {
    TfrmPrint preview(&Broker());
    preview.SetupForm(pdScreen | pdFile | pdWordProcessor, "txt");
    EXPECT_TRUE(preview.btnPrint->isHidden());
    EXPECT_FALSE(preview.pumPrint->isVisible());
    EXPECT_FALSE(preview.pumExcel->isVisible());
    EXPECT_EQ(preview.btnSaveAs->x(), preview.RichEdit1->x()) << "in the print button's place";
    EXPECT_EQ(preview.btnSaveAs->text(), "&Send to file");
}

TEST_F(Print, FindWrapsOnceThenSaysNotFound) {
    TfrmPrint preview(&Broker());
    preview.SetLines({"one apple", "two", "apple three"});
    preview.show();
    QStringList found;
    modal.OnFindText([&](const std::function<void(const QString&)>& findNext) {
        for (int i = 0; i < 3; ++i) {
            findNext("APPLE");
            found << QString::number(preview.RichEdit1->textCursor().selectionStart());
        }
        findNext("THREE");  // the text's last characters
        found << QString::number(preview.RichEdit1->textCursor().selectionStart());
        findNext("pear");
    });
    test::ExpectToolsetMessage(modal, MessageKind::Information, "Search string not found!");
    QTest::keyClick(preview.RichEdit1, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(found, (QStringList{"4", "14", "4", "20"}));
}

TEST_F(Print, AServerPrinterGetsTheDocumentAndTheUserIsTold) {
    modal.OnForm<TfrmSelDev>([&](TfrmSelDev& f) {
        f.rbServer->click();
        f.btnSulje->click();
        PickFromList("OFFICE PRINTER");
    });
    ASSERT_TRUE(dialog->Execute());
    report->FileNumber = "80002";
    report->DHD = "Spooled wards";
    report->IOP = dialog->IOP;
    report->Run();
    const std::size_t mark = CallMark();
    ExpectSentToPrinter();
    print->Print(report->DocumentHandle(), dialog);
    EXPECT_EQ(CallCount(mark, "VRNX OUTCR"), 0u);
    QFile spool(QString::fromStdString(Server().SpoolFolder()) + "/3-OFFICE_PRINTER.prn");
    ASSERT_TRUE(spool.open(QIODevice::ReadOnly));
    EXPECT_TRUE(spool.readAll().startsWith("Spooled wards"));
    print->Print("", dialog);  // nothing stored, nothing printed: nothing to tell
}

TEST_F(Print, APrinterThatCannotBeUsedIsNoSuccess) {
    WorkstationPrinter().setOutputFormat(QPrinter::PdfFormat);
    WorkstationPrinter().setOutputFileName(folder.filePath("missing/lines.pdf"));
    test::ExpectToolsetMessage(modal, MessageKind::Error,
                               "The document was not printed, as " +
                                   folder.filePath("missing/lines.pdf") + " could not be opened.");
    print->PrintLines({"a line"});
}

TEST_F(Print, AReportOfAnotherSessionIsNotFound) {
    report->FileNumber = "80002";
    report->Run();
    print->SetRPCBroker(&SecondBroker());
    test::ExpectToolsetMessage(modal, MessageKind::Error, "Document not found.");
    print->Print(report->DocumentHandle(), dialog);
    EXPECT_EQ(print->ErrorLines(), QStringList{"Document not found."});
}

TEST_F(Print, AFileGetsTheWholeDocumentAndAnUnwritableOneIsReported) {
    report->FileNumber = "80002";
    const QStringList expected = Direct();
    dialog->SetPrintDefault(pdFile);
    dialog->SaveFile = folder.filePath("wards.txt");
    report->Run();
    test::ExpectToolsetMessage(modal, MessageKind::Information,
                               "Document was printed to file " + dialog->SaveFile);
    print->Print(report->DocumentHandle(), dialog);
    QFile saved(dialog->SaveFile);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), expected.join(u'\n') + u'\n');
    dialog->SaveFile = folder.filePath("missing/wards.txt");
    report->Run();
    modal.OnForm<TTimedDlg>([](TTimedDlg& d) {
        EXPECT_TRUE(d.RichEdit1->toPlainText().startsWith("The document was not saved in"));
        d.done(ui::mrOk);
    });
    print->Print(report->DocumentHandle(), dialog);
    EXPECT_FALSE(QFile::exists(dialog->SaveFile));
}

TEST_F(Print, TheWordProcessorGetsTheWholeDocumentInAFileOfItsOwn) {
    struct Opened final : ProgramStarter {
        bool StartProgram(const QString&, const QString&) override { return false; }
        bool OpenWithDesktop(const QString& file) override { return files << file, true; }
        QStringList files;
    } opened;
    SetProgramStarter(&opened);
    report->FileNumber = "80002";
    const QStringList expected = Direct();
    dialog->SetPrintDefault(pdWordProcessor);
    report->Run();
    print->Print(report->DocumentHandle(), dialog);
    SetProgramStarter(nullptr);
    ASSERT_EQ(opened.files.size(), 1);
    QFile handed(opened.files[0]);
    ASSERT_TRUE(opened.files[0].endsWith(".rtf") && handed.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(handed.readAll()), expected.join(u'\n') + u'\n');
    handed.remove();
}

// The demo data seven times over: 2,100 lab results.
class LongReport : public Print {
  protected:
    LongReport() : Print(test::DevServerProcess::Options{7, 0}) {
        report->FileNumber = "80005";
        report->FieldNumbers = QStringList{".001"};
    }
};

TEST_F(LongReport, ArrivesWholeWithItsProgressShown) {
    const QStringList expected = Direct();
    ASSERT_GT(expected.size(), 2000);
    report->Run();
    int updates = 0;
    modal.OnProgress([&](const QString&) { return ++updates < 0; });
    QStringList shown;
    ExpectPreview(&shown);
    print->Print(report->DocumentHandle(), dialog);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(updates, (expected.size() + 199) / 200 - TvornPrint::kQuietPages);
    EXPECT_EQ(modal.ProgressLabels().front(),
              "Receiving the document from the server: 1000 lines so far.");
}

TEST_F(LongReport, CancelStopsThePagingAndShowsWhatArrived) {
    const QStringList expected = Direct();
    report->Run();
    const std::size_t mark = CallMark();
    modal.OnProgress([](const QString&) { return true; });
    QStringList shown;
    ExpectPreview(&shown);
    print->Print(report->DocumentHandle(), dialog);
    EXPECT_EQ(CallCount(mark, "VRNX OUTCR"), std::size_t(TvornPrint::kQuietPages));
    EXPECT_EQ(shown, expected.mid(0, 200 * TvornPrint::kQuietPages));
}

}  // namespace
}  // namespace vorn
