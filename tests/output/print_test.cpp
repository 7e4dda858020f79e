// The print component, its preview and the report against the development server: paging,
// progress, printing through QPrinter into PDF files read back with pdftotext, the server's
// printers, and documents of another session.
#include <gtest/gtest.h>

#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <map>
#include <tuple>

#include "broker/rpc_request.h"
#include "output/internal/line_printing.h"
#include "output/internal/print_form.h"
#include "output/internal/sel_dev_form.h"
#include "source/internal/no_broker_link.h"
#include "source/timed_dialog.h"
#include "tests/output/output_form.h"
#include "tests/support/pdf_text.h"
#include "toolkit/document_handoff.h"

namespace vorn {
namespace {

using test::PdfPages;
using ui::MessageKind;

class Print : public test::OutputForm {
  protected:
    explicit Print(test::DevServerProcess::Options options = {}) : OutputForm(options) {
        dialog->SetPrintDefault(pdScreen);
    }
    // The printer set-up answered with a PDF file and the range `range`, then the message that
    // the document was sent.
    QString PrintToPdf(QPrinter::PrintRange range = QPrinter::AllPages) {
        const QString pdf = folder.filePath(QString("print%1.pdf").arg(++pdfs));
        modal.OnPrinterSetup([pdf, range](QPrinter& p, const ui::PrinterChoices&) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf);
            p.setPrintRange(range);
            return true;
        });
        ExpectSentToPrinter();
        return pdf;
    }
    void ExpectSentToPrinter() {
        Expect(MessageKind::Information, "The record was sent to printer.");
    }
    // The preview driven by `use` and closed with Exit; `shown` and `title` keep what it showed.
    void OnPreview(std::function<void(TfrmPrint&)> use = {}) {
        modal.OnForm<TfrmPrint>([this, use](TfrmPrint& p) {
            shown = p.Lines();
            title = p.windowTitle();
            if (use) use(p);
            p.btnExit->click();
        });
    }
    QTemporaryDir folder;
    int pdfs = 0;
    QStringList shown;
    QString title;
};

TEST_F(Print, AThreePageDocumentArrivesInOrder) {
    report->FileNumber = "80001";
    report->FieldNumbers = QStringList{"<CAPTIONED>"};
    report->From = "A";
    report->WhereTo = "M";
    report->Run();
    const std::size_t mark = CallMark();
    OnPreview();
    print->Print(report->DocumentHandle(), dialog);
    EXPECT_EQ(CallCount(mark, "VRNX OUTCR"), 3u);
    // 477 lines: 200, 200 and 77. The lines on each side of a page's edge are the server's.
    ASSERT_EQ(shown.size(), 477);
    EXPECT_TRUE(shown[0].startsWith("DEMO LAB TEST ")) << shown[0].toStdString();
    EXPECT_TRUE(shown[199].startsWith("PERSON IN CHARGE: KARJALAINEN,"))
        << shown[199].toStdString();
    EXPECT_EQ(shown[200], "RESULT FORMAT: NUMERICAL");
    EXPECT_EQ(shown[399], "RESULT FORMAT: SET OF CODES");
    EXPECT_EQ(shown[400], "RESULT CODE: NEG");
    EXPECT_EQ(shown[476], "YEARS OF USAGE: 9");
    EXPECT_FALSE(print->MorePages());
    EXPECT_NE(report->DocumentHandle(), "");
}

TEST_F(Print, EachRunHasItsOwnDocumentOfItsSessionAndNoneWithoutAFileOrABroker) {
    report->FileNumber = "80002";
    const std::size_t mark = CallMark();
    report->Run();
    const QString handle = report->DocumentHandle();
    report->Run();
    EXPECT_NE(report->DocumentHandle(), handle);
    print->SetRPCBroker(&SecondBroker());  // another session finds no such document
    Expect(MessageKind::Error, "Document not found.");
    print->Print(report->DocumentHandle(), dialog);
    EXPECT_EQ(print->ErrorLines(), QStringList{"Document not found."});
    report->FileNumber.clear();
    Expect(MessageKind::Warning, "File Number is not initialized!");
    report->Run();
    EXPECT_EQ(CallCount(mark, "VRNX REPORT"), 2u);
    // Without a broker nothing is sent or shown.
    report->SetRPCBroker(nullptr);
    print->SetRPCBroker(nullptr);
    EXPECT_THROW(report->Run(), ENoBrokerLink);
    EXPECT_THROW(print->Print("0123", dialog), ENoBrokerLink);
    const QString contact = "\r\nPlease contact developer for assistance.\r\nThank you.";
    EXPECT_EQ(ReportWithoutBrokerText("vornReport1"),
              "\"vornReport1\" is not associated with a Broker link." + contact);
    EXPECT_EQ(PrintWithoutBrokerText("vornPrint1"),
              "\"vornPrint1\" is not assoicated with a Broker link." + contact);
}

TEST_F(Print, PrintedLinesFollowTheLineStepAFormFeedStartsAPageAndAnUnusablePrinterFails) {
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
    lines.append({"\f", "after the feed"});
    ExpectSentToPrinter();
    print->PrintLines(lines);
    const QStringList pages = PdfPages(folder.filePath("lines.pdf"));
    ASSERT_EQ(pages.size(), 3);
    EXPECT_EQ(pages[0].split(u'\n').size(), perPage);
    EXPECT_TRUE(pages[0].endsWith(QString("line %1").arg(perPage)));
    EXPECT_EQ(pages[1], QString("line %1\nline %2").arg(perPage + 1).arg(perPage + 2));
    EXPECT_EQ(pages[2], "after the feed");
    // A printer that cannot be used is no success.
    printer.setOutputFileName(folder.filePath("missing/lines.pdf"));
    Expect(MessageKind::Error, "The document was not printed, as " +
                                   folder.filePath("missing/lines.pdf") + " could not be opened.");
    print->PrintLines({"a line"});
}

TEST_F(Print, TheSelectionPrintsItsPartialLastLine) {
    TfrmPrint preview(&Broker());
    preview.SetLines({"alpha one", "beta two", "gamma"});
    QTextCursor cursor = preview.RichEdit1->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(14, QTextCursor::KeepAnchor);
    preview.RichEdit1->setTextCursor(cursor);
    const QString pdf = PrintToPdf(QPrinter::Selection);
    preview.btnPrint->click();
    EXPECT_EQ(PdfPages(pdf), QStringList{"one\nbeta"});
    const QString all = PrintToPdf(QPrinter::Selection);
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
    Expect(MessageKind::Information, "Search string not found!");
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

TEST_F(Print, AFileAndTheWordProcessorGetTheWholeDocumentAndAnUnwritableFileIsReported) {
    struct Opened final : ProgramStarter {
        bool StartProgram(const QString&, const QString&) override { return false; }
        bool OpenWithDesktop(const QString& file) override { return files << file, true; }
        QStringList files;
    } opened;
    report->FileNumber = "80002";
    report->Run();
    // The document paged in by the test itself, reading the server's pages as they come:
    // "[Misc]", "position^more", "[Data]" and the lines.
    QStringList lines;
    for (int page = 0; page < 100; ++page) {
        const QStringList reply =
            Broker().Call(RpcRequest("VRNX OUTCR").Literal(report->DocumentHandle())).Lines();
        ASSERT_GE(reply.size(), 3);
        ASSERT_EQ(reply[0], "[Misc]");
        lines += reply.mid(3);
        if (reply[1].endsWith(u"^0")) break;
    }
    ASSERT_GT(lines.size(), 8);
    EXPECT_TRUE(lines.join(u'|').contains("CARDIOLOGY CLINIC")) << lines.join(u'|').toStdString();
    const QString expected = lines.join(u'\n') + u'\n';
    dialog->SetPrintDefault(pdFile);
    dialog->SaveFile = folder.filePath("wards.txt");
    report->Run();
    Expect(MessageKind::Information, "Document was printed to file " + dialog->SaveFile);
    print->Print(report->DocumentHandle(), dialog);
    QFile saved(dialog->SaveFile);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), expected);
    dialog->SaveFile = folder.filePath("missing/wards.txt");
    report->Run();
    modal.OnForm<TTimedDlg>([](TTimedDlg& d) {
        EXPECT_TRUE(d.RichEdit1->toPlainText().startsWith("The document was not saved in"));
        d.done(ui::mrOk);
    });
    print->Print(report->DocumentHandle(), dialog);
    EXPECT_FALSE(QFile::exists(dialog->SaveFile));
    // The word processor gets it in a file of its own.
    SetProgramStarter(&opened);
    dialog->SetPrintDefault(pdWordProcessor);
    report->Run();
    print->Print(report->DocumentHandle(), dialog);
    SetProgramStarter(nullptr);
    ASSERT_EQ(opened.files.size(), 1);
    QFile handed(opened.files[0]);
    ASSERT_TRUE(opened.files[0].endsWith(".rtf") && handed.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(handed.readAll()), expected);
    handed.remove();
}

// The demo data seven times over: 2,100 lab results, run once.
class LongReport : public Print {
  protected:
    LongReport() : Print(test::DevServerProcess::Options{7, 0, true, {}}) {
        report->FileNumber = "80005";
        report->FieldNumbers = QStringList{".001"};
        report->Run();
    }
    // The report's first `count` lines: its size and the lines at its ends and at page edges, as
    // the server wrote them.
    static void ExpectLines(const QStringList& lines, int count) {
        ASSERT_EQ(lines.size(), count);
        EXPECT_TRUE(lines[0].startsWith("DEMO LAB RESULT ") && lines[0].endsWith("  PAGE 1"))
            << lines[0].toStdString();
        for (const auto& [at, text] : std::map<int, std::string>{
                 {199, "836"}, {200, "709"}, {999, "1343"}, {1000, "1391"}, {2246, "30"}})
            if (at < count) {
                EXPECT_EQ(lines[at].toStdString(), text) << "line " << at;
            }
    }
};

// A download that is not cancelled is not marked.
TEST_F(LongReport, ArrivesWholeWithItsProgressShown) {
    int updates = 0;
    modal.OnProgress([&](const QString&) { return ++updates < 0; });
    OnPreview([](TfrmPrint& p) {
        EXPECT_FALSE(p.Incomplete());
        EXPECT_EQ(p.IncompleteNote(), "");
    });
    print->Print(report->DocumentHandle(), dialog);
    // Twelve pages of at most 200 lines, so the progress shows after five and is updated for
    // the other seven.
    ExpectLines(shown, 2247);
    EXPECT_EQ(title, "Print preview");
    EXPECT_EQ(updates, 7);
    EXPECT_EQ(modal.ProgressLabels().front(),
              "Receiving the document from the server: 1000 lines so far.");
}

// Cancel stops the paging. What arrived before it is marked as incomplete in the preview's
// title and in what the preview saves, prints or hands on; the document's own lines follow
// unchanged.
TEST_F(LongReport, ACancelledDownloadShowsWhatArrivedMarkedIncompleteWhereverItGoes) {
    const std::size_t mark = CallMark();
    modal.OnProgress([](const QString&) { return true; });
    const QString saved = folder.filePath("partial.txt");
    OnPreview([](TfrmPrint& p) {
        EXPECT_TRUE(p.Incomplete());
        p.btnSaveAs->click();
        p.btnPrint->click();
    });
    modal.OnSaveFile([saved](const QString&) { return saved; });
    const QString pdf = PrintToPdf();
    print->Print(report->DocumentHandle(), dialog);
    EXPECT_EQ(CallCount(mark, "VRNX OUTCR"), 5u);
    ExpectLines(shown, 1000);
    EXPECT_EQ(title, "Print preview (incomplete: the download was cancelled)");
    const QString note =
        "INCOMPLETE DOCUMENT: the download was cancelled after 1000 lines; the rest is missing.";
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), note + u'\n' + shown.join(u'\n') + u'\n');
    const QStringList pages = PdfPages(pdf);
    ASSERT_FALSE(pages.isEmpty());
    EXPECT_TRUE(pages.front().startsWith(note.left(40))) << pages.front().toStdString();
}

// A report never run, or one the server refused: the user sees why, and nothing is paged.
TEST_F(Print, AReportWithoutADocumentShowsTheServersLinesAndPagesNothing) {
    const std::size_t mark = CallMark();
    Expect(MessageKind::Error, "The server sent no document for the report, and no reason.");
    print->PrintReport(*report, dialog);
    report->FileNumber = "80001";
    report->FieldNumbers = QStringList{"<CAPTIONED>"};
    for (const auto& [by, iop, error] :
         {std::tuple{"NUMBER=", "", "BY \"NUMBER=\" names no record."},
          std::tuple{"NUMBER=99999", "", "There is no record 99999 in file 80001 (DEMO LAB TEST)."},
          std::tuple{"", "OLD PRINTER", "Device \"OLD PRINTER\" is out of service."},
          std::tuple{"", "NO SUCH PRINTER", "Device \"NO SUCH PRINTER\" does not exist."}}) {
        SCOPED_TRACE(error);
        report->By = by;
        report->IOP = iop;
        report->Run();
        EXPECT_EQ(report->DocumentHandle(), "");
        Expect(MessageKind::Error, error);
        print->PrintReport(*report, dialog);
        EXPECT_EQ(print->ErrorLines(), QStringList{error});
    }
    EXPECT_EQ(CallCount(mark, "VRNX OUTCR"), 0u);
}

// The server's spool folder cannot be made: a path under a plain file is no folder for anyone,
// root included.
class UnwritableSpool : public Print {
  protected:
    UnwritableSpool()
        : Print(test::DevServerProcess::Options{1, 0, true, {"--spool", "/dev/null/spool"}}) {}
};

TEST_F(UnwritableSpool, AServerPrinterReportSaysWhyNothingWasPrinted) {
    report->FileNumber = "80002";
    report->IOP = "OFFICE PRINTER";
    report->Run();
    dialog->SetPrintDefault(pdServerPrinter);
    dialog->IOP = "OFFICE PRINTER";
    Expect(MessageKind::Error,
           "Cannot print on OFFICE PRINTER: the spool folder /dev/null/spool "
           "cannot be written (Not a directory).");
    print->PrintReport(*report, dialog);
}

}  // namespace
}  // namespace vorn
