// The help window against the development server: F1 in bound controls of two forms, the help
// of a source's file, copying, and printing into a PDF file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "controls/vorn_edit.h"
#include "output/help_window.h"
#include "source/internal/field_help_display.h"
#include "tests/support/pdf_text.h"
#include "tests/support/source_fixture.h"
#include "toolkit/component_loading.h"

namespace vorn {
namespace {

class Help : public test::SourceServer {
  protected:
    Help() { InstallHelpWindow(); }
    ~Help() override {
        SetFieldHelpDisplay(nullptr);
        if (HelpWindow()) HelpWindow()->close();
    }
    // A lab test form showing record 1 with an edit on `field`.
    TvornEdit* Form(QWidget& form, const QString& field, const QString& name) {
        auto* source = new TvornSource(&form);
        source->FileNumber = "80001";
        source->SetRPCBroker(&Broker());
        auto* edit = new TvornEdit(&form);
        edit->SetFMField(field);
        edit->SetFMDisplayName(name);
        edit->SetvornSource(source);
        ui::LoadComponents(form);
        source->Open();
        source->GetAndFill("1");
        return edit;
    }
};

TEST_F(Help, F1InABoundEditOpensTheWindowAFieldOfAnotherFormReusesItAModalFormOwnsIt) {
    QWidget first, second;
    QTest::keyClick(Form(first, "4", "Date of introduction"), Qt::Key_F1);
    TvornHelpFrm* window = HelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Help");
    EXPECT_EQ(window->Title(), "Date of introduction");
    EXPECT_EQ(window->Lines(), (QStringList{"Answer with the date the test was first offered.", "",
                                            "The date from which the test could be ordered."}));
    QTest::keyClick(Form(second, "2", "Full name"), Qt::Key_F1);
    EXPECT_EQ(HelpWindow(), window);
    EXPECT_EQ(window->Title(), "Full name");
    window->Button1->click();
    EXPECT_EQ(HelpWindow(), nullptr) << "closed is gone";
    // Help asked for while a modal form runs opens as one of its windows.
    QDialog modalForm;
    modalForm.setWindowModality(Qt::ApplicationModal);
    modalForm.show();
    ShowTitledText("Inside", "a modal form");
    EXPECT_EQ(HelpWindow()->parentWidget(), &modalForm) << "else the modal form blocks it";
    modalForm.hide();
    ShowTitledText("Outside", "it");
    EXPECT_EQ(HelpWindow()->parentWidget(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
}

// The description's answer ends in "$$END$$" and "[END_diDATA]": neither is help text.
TEST_F(Help, AFilesHelpShowsItsNameAndItsDescriptionAlone) {
    struct Case {
        const char* file;
        bool subFile;  // of the lab tests, kept in their records
        QString title;
        QStringList lines;
        std::vector<std::string> calls;
    };
    // clang-format off
    const Case cases[] = {
        {"80006", false, "DEMO DEPARTMENTAL LAB TEST",
         {"Which lab tests each ward or clinic may order, and when."}, {"DDR GETS ENTRY DATA"}},
        {"80001.02", true, "SUBRESULT", {"Parts of the result that are given one by one."},
         {"VRNX DDU FIELDS", "VRNX HELP"}}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TvornSource master, source;
        master.FileNumber = "80001";
        source.FileNumber = c.file;
        source.SetRPCBroker(&Broker());
        if (c.subFile) {
            source.TypeIfSubFile = TvornSubFileType::Hierarchical;
            source.SetMasterSource(&master);
        }
        const std::size_t mark = CallMark();
        ShowFieldHelp(source);
        std::vector<std::string> calls = CallNamesSince(mark);
        std::erase(calls, "VRNX DIALOG");  // the new window's captions
        EXPECT_EQ(calls, c.calls);
        ASSERT_NE(HelpWindow(), nullptr);
        EXPECT_EQ(HelpWindow()->Title(), c.title);
        EXPECT_EQ(HelpWindow()->Lines(), c.lines);
        HelpWindow()->Button1->click();  // the next file's help opens a window anew
        ASSERT_EQ(HelpWindow(), nullptr);
    }
}

TEST_F(Help, CopyWithNothingSelectedAndPrintAddTheTitleAndASpaceLineLeavingTheText) {
    ShowTitledText("About", "A lab test demo.\r\rVersion 3.00, 1999");
    TvornHelpFrm& window = *HelpWindow();
    const QStringList text{"A lab test demo.", "", "Version 3.00, 1999"};
    window.BitBtn1->click();
    EXPECT_EQ(QApplication::clipboard()->text(), "About\n \n" + text.join('\n'));
    EXPECT_EQ(window.Lines(), text);
    EXPECT_EQ(window.Title(), "About");
    QTextCursor cursor = window.Memo1->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    window.Memo1->setTextCursor(cursor);
    window.BitBtn1->click();
    EXPECT_EQ(QApplication::clipboard()->text(), "lab");
    // Print: the title and a space line above the text, or above the selection if chosen.
    QTemporaryDir folder;
    ShowTitledText("About", "First line\rSecond line");
    cursor = HelpWindow()->Memo1->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    HelpWindow()->Memo1->setTextCursor(cursor);
    for (const auto& [range, printed] :
         {std::pair{QPrinter::AllPages, "About First line Second line"},
          std::pair{QPrinter::Selection, "About Second line"}}) {
        const QString pdf = folder.filePath(QString("%1.pdf").arg(range));
        modal.OnPrinterSetup([&](QPrinter& p, const ui::PrinterChoices& choices) {
            EXPECT_TRUE(choices.selection);
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf);
            p.setPrintRange(range);
            return true;
        });
        Expect(ui::MessageKind::Information, "The record was sent to printer.");
        HelpWindow()->BitBtn2->click();
        QString text;
        ASSERT_TRUE(test::ReadPdfText(pdf, text));
        EXPECT_EQ(text.simplified(), printed);
    }
}

}  // namespace
}  // namespace vorn
