// The main form's detail tabs and commands end to end: opening, paging, zooming, inserting,
// printing and closing, the person in charge, a reader's refusals, and the keyboard.
#include <QScrollBar>
#include <QStyle>
#include <QTextEdit>

#include "lookup/internal/xde_string_grid.h"
#include "output/internal/sel_dev_form.h"
#include "source/internal/source_core.h"
#include "source/timed_dialog.h"
#include "tests/demo/lab_test_app.h"

namespace vorn {
namespace {

using K = ui::MessageKind;
using test::Calls;

class Tabs : public test::LabTestApp {
  protected:
    // A lab test another user has just added: it has no wards, results or subresults.
    QString NewLabTest() {
        RpcRequest add("DDR FILER");
        add.Literal("ADD").List(".DDR").Entry("1", "80001^.01^+1^ZZEMPTY");
        add.Entry("2", "80001^2^+1^Nothing yet").Literal(QString());
        return Other().Call(add).Line(1).section(u'^', 1);
    }
};

// A tab's source opens when the tab is first shown: the user data once per source, the link
// (for a logical detail), the first batch of its grid and the first record. Each tab's
// accelerators are one widget's each, and Tab reaches every field and button.
TEST_F(Tabs, EachTabOpensItsSourceWithItsOwnCallsAndAnswersTheKeyboard) {
    Show("35");
    const Calls opened[] = {
        {"VRNX USERDATA", "VRNX DDU LOCATION", "VRNX LOGICAL POINTER", "DDR GETS ENTRY DATA"},
        {"VRNX USERDATA", "DDR LISTER"},
        {"VRNX USERDATA", "VRNX DDU LOCATION", "VRNX LOGICAL POINTER", "DDR GETS ENTRY DATA"},
        {"VRNX USERDATA", "DDR LISTER", "DDR GETS ENTRY DATA"}};
    for (int tab = 2; tab <= 5; ++tab) {
        EXPECT_EQ(CallsOf([&] { Page(tab); }), opened[tab - 2]) << "tab " << tab;
        Page(1);
    }
    // Once, the ward grid cut its "When is ordering allowed" caption: a column narrower than its
    // caption in the font shown is widened to it.
    Page(2);
    QHeaderView* header = form->xgrdLogSub->horizontalHeader();
    ASSERT_EQ(header->count(), 2);
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int column = 0; column < header->count(); ++column) {
        const QTableWidgetItem* caption = form->xgrdLogSub->horizontalHeaderItem(column);
        QFont font = header->font();
        font.setBold(caption->font().bold());
        EXPECT_GE(header->sectionSize(column),
                  QFontMetrics(font).horizontalAdvance(caption->text()) + margins)
            << caption->text().toStdString();
    }
    EXPECT_LE(header->length(), form->xgrdLogSub->viewport()->width()) << "both in view";
    for (int tab = 1; tab <= 5; ++tab) {
        Page(tab);
        ASSERT_EQ(form->xPageCtrl1->currentIndex(), tab - 1);
        SCOPED_TRACE(tab);
        test::PressEach(*form, {"lblYearsCaption", "LabelDOB"});
        test::WalkWithTab(*form, *form->xPageCtrl1->currentWidget());
    }
}

// Closing asks the detail tabs last first, then the lab test; Cancel keeps the program and
// its edit, and the menu's Exit closes as the Exit button does.
TEST_F(Tabs, ClosingAsksTheDetailsLastFirstAndCancelKeepsTheProgram) {
    Show("33");
    Page(2);
    Page(3);
    TypeInto(form->xedtResCode, "NEW");
    ASSERT_EQ(form->vornSource3->State(), ssEdit);
    ASSERT_TRUE(form->vornSource2->SetFieldValue("3", "3"));
    ASSERT_EQ(form->vornSource2->State(), ssEdit);
    ASSERT_TRUE(form->vornSource1->SetFieldValue("2", "Renamed"));
    // Sources 5 and 4 have no changes; tab 3 is asked before tab 2, both before the lab test.
    Expect(K::Confirmation, "Save  Result code: NEG?\r\n", ui::mrNo);
    Expect(K::Confirmation, "Save  Demo Departmental Lab Test: EYE CLINIC HIV-AB?\r\n", ui::mrNo);
    const QString labTest = QStringLiteral("Save  Demo Lab Test: HIV-AB HIV antibodies?\r\n");
    Expect(K::Confirmation, labTest, ui::mrCancel);
    Click(form->BtnExit);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->xedtName->text(), "Renamed") << "Cancel keeps the lab test's edit";
    Expect(K::Confirmation, labTest, ui::mrNo);
    form->Exit->trigger();
    EXPECT_FALSE(form->isVisible()) << "the menu's Exit closes like the Exit button";
}

// Once, Zoom stayed as it was when the lab test changed under an open tab. A new lab test has
// neither results nor subresults; 35 has both. Printing the chosen lab test of a new record
// shows the server's reason and prints nothing.
TEST_F(Tabs, ZoomIsOfferedOnlyWhenTheGridListsRecordsAndANewRecordPrintsNothing) {
    Start();
    FetchCaptions();
    const QString empty = NewLabTest();
    for (int tab : {4, 5}) {
        SCOPED_TRACE(tab);
        QPushButton* zoom = tab == 4 ? form->btnZoom1 : form->btnZoom2;
        ASSERT_TRUE(form->vornSource1->GetAndFill(empty));
        Page(tab);
        EXPECT_FALSE(zoom->isEnabled()) << "opened on an empty grid";
        ASSERT_TRUE(form->vornSource1->GetAndFill("35"));
        EXPECT_TRUE(zoom->isEnabled()) << "rows under the open tab";
        ASSERT_TRUE(form->vornSource1->GetAndFill(empty));
        EXPECT_FALSE(zoom->isEnabled()) << "an empty grid under the open tab";
        Page(1);
        ASSERT_TRUE(form->vornSource1->GetAndFill("35"));
        Page(tab);
        EXPECT_TRUE(zoom->isEnabled()) << "rows when the tab is shown again";
        Page(1);
    }
    form->vornSource1->Insert();
    modal.OnForm<TfrmSelDev>([](TfrmSelDev& d) { d.btnSulje->click(); });
    Expect(K::Error, "BY \"NUMBER=\" names no record.");
    const std::size_t mark = server.Mark();
    form->ChosenLabTest->trigger();
    const std::vector<test::LoggedCall> calls = server.CallsSince(mark);
    const auto report = std::ranges::find(calls, "VRNX REPORT", &test::LoggedCall::name);
    ASSERT_NE(report, calls.end());
    EXPECT_EQ(report->Entry("\"BY\""), "NUMBER=");
    EXPECT_EQ(std::ranges::count(calls, "VRNX OUTCR", &test::LoggedCall::name), 0)
        << "nothing to print";
}

// Once, the results grid came back scrolled as the user had left it for another lab test: the
// rows above the highlighted one were out of view. A row below the view placed by the source is
// scrolled to, with the rows above it in view.
TEST_F(Tabs, ANewListOfTestResultsOpensAtItsTopAndTheHighlightedOneIsScrolledIntoView) {
    Show("36");
    Page(4);
    TvornGrid* grid = form->xgrdLogOpen;
    ASSERT_EQ(grid->currentRow(), 0);
    // The user drags the scroll bar down; the highlight stays on the first row.
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    ASSERT_GT(grid->verticalScrollBar()->value(), 0);
    Page(1);
    ASSERT_TRUE(form->vornSource1->GetAndFill("35"));
    Page(4);
    ASSERT_EQ(grid->currentRow(), 0);
    EXPECT_EQ(grid->rowAt(0), 0) << "the first row is in view";
    EXPECT_TRUE(grid->viewport()->rect().contains(
        grid->visualRect(grid->model()->index(grid->currentRow(), 0))));
    Page(1);
    ASSERT_TRUE(form->vornSource1->GetAndFill("36"));
    Page(4);
    grid->setFocus();
    const int last = grid->rowCount() - 1;
    for (int row = 0; row < last; ++row)
        QTest::keyClick(grid, Qt::Key_Down);
    ASSERT_EQ(grid->currentRow(), last);
    ASSERT_EQ(form->vornSource4->Address().Number(), grid->RecordNumberAt(last + 1));
    // Read again (as after a zoom): the view starts at the top, then goes to the highlight.
    form->vornSource4->Refresh();
    EXPECT_EQ(grid->currentRow(), last);
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(last, 0))));
}

TEST_F(Tabs, AWardGridOfFortyFiveWardsPagesAsTheUserGoesDown) {
    RpcRequest filing("DDR FILER");
    filing.Literal("ADD").List(".DDR");
    for (int n = 1; n <= 45; ++n)
        filing.Entry(QString::number(2 * n - 1), QString("80006^.01^+%1^%2").arg(n).arg(1 + n % 12))
            .Entry(QString::number(2 * n), QString("80006^2^+%1^30").arg(n));
    Other().Call(filing.Literal(QString()));
    Show("30");
    Page(2);
    EXPECT_EQ(form->xgrdLogSub->RowCount() - 1, 40) << "the first batch of forty";
    const std::size_t mark = server.Mark();
    form->xgrdLogSub->setFocus();
    for (int row = 0; row < 40; ++row)
        QTest::keyClick(form->xgrdLogSub, Qt::Key_Down);
    EXPECT_EQ(form->xgrdLogSub->RowCount() - 1, 45 + 1) << "with the ward 30 had already";
    const Calls calls = server.NamesSince(mark);
    EXPECT_EQ(std::ranges::count(calls, "VRNX LOGICAL POINTER"), 1) << "one batch, the last rows";
    EXPECT_EQ(std::ranges::count(calls, "DDR GETS ENTRY DATA"), 40) << "each row gone to is read";
}

// The edit of a detail is asked about before the lab test is left, and filed under the lab
// test it was made under: never under the one the user moves to.
TEST_F(Tabs, ASubresultEditIsFiledUnderItsLabTestWhenTheHistoryMovesAway) {
    Show("35");
    ASSERT_TRUE(form->vornSource1->GetAndFill("36"));
    form->vornSource1->UpdateHistory();
    Page(5);
    const QString subresult = form->vornSource5->Address().Number();
    ASSERT_FALSE(subresult.isEmpty());
    ASSERT_TRUE(form->vornSource5->SetFieldValue(".01", "CHANGED"));
    modal.OnForm<TTimedDlg>([](TTimedDlg& d) {
        EXPECT_TRUE(d.RichEdit1->toPlainText().startsWith("Save  Subresult:"));
        d.done(ui::mrYes);
    });
    modal.OnForm<TTimedDlg>([](TTimedDlg& d) { d.done(ui::mrOk); });  // Saved:
    form->Hist[1]->trigger();
    EXPECT_EQ(form->vornSource1->Address().Number(), "35");
    EXPECT_EQ(Stored("80001.02", subresult + ",36", ".01"), "CHANGED");
    EXPECT_NE(Stored("80001.02", subresult + ",35", ".01"), "CHANGED");
    EXPECT_TRUE(OtherCanLock("36"));
}

// Insert in the person-in-charge lookup adds the person on the person form, which begins with
// the typed name; the new record is named by its number in field 7, with its own date of birth
// shown at once, and Save files it there.
TEST_F(Tabs, APersonAddedFromThePersonInChargeLookupIsFiledInFieldSeven) {
    Show("35");
    TypeInto(form->xDlgCharge, "NEWMAN,TESSA");
    form->vornPointerBtn2->click();
    TfrmFind* dialog = ShownFind();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->btnInsert->isVisible());
    modal.OnForm<TfrmPerson>([](TfrmPerson& f) {
        EXPECT_EQ(f.xDlgEditName->text(), "NEWMAN,TESSA");
        EXPECT_EQ(f.focusWidget(), f.xDlgEditName);
        EXPECT_FALSE(f.LabTests->isEnabled());
        TypeInto(f.xedDOB, "3.4.1990");
        Click(f.xbtnSaveAs);
        EXPECT_EQ(f.focusWidget(), f.xDlgEditName);
        // A person with no patient record: the server's reason is told.
        ASSERT_TRUE(f.LabTests->isEnabled());
        f.LabTests->trigger();
        Click(f.BtnExit);
    });
    Expect(K::Information, "Saved new: Demo Person: NEWMAN,TESSA APR 3, 1990\r\n");
    modal.OnForm<TfrmSelDev>([](TfrmSelDev& d) { d.btnSulje->click(); });
    Expect(K::Information, "No patient was given (POT).");
    QTest::mouseClick(dialog->btnInsert, Qt::LeftButton);
    EXPECT_EQ(ShownFind(), nullptr);
    EXPECT_EQ(form->xDlgCharge->text(), "NEWMAN,TESSA");
    EXPECT_EQ(form->LabelDOB->text(), "APR 3, 1990");
    EXPECT_EQ(form->vornSource1->State(), ssEdit);
    Expect(K::Information, "Saved: Demo Lab Test: U-STIX Urine dipstick test\r\n");
    Click(form->xbtnSave);
    EXPECT_EQ(Stored("80001", "35", "7"), "31") << "the new person's number";
}

// The date of birth stays beside the new name.
TEST_F(Tabs, APersonRenamedThroughZoomIsShownAsRenamed) {
    Show("1");
    Click(form->vornPointerBtn2);
    TfrmFind* dialog = ShownFind();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->btnZoom->isVisible());
    modal.OnForm<TfrmPerson>([](TfrmPerson& f) {
        f.xDlgEditName->setFocus();
        f.xDlgEditName->selectAll();
        QTest::keyClicks(f.xDlgEditName, "VIRTANEN,AINOA");
        f.xbtnSave->click();
        f.BtnExit->click();
    });
    Expect(K::Confirmation,
           "Do you want to change the value for Name into \"VIRTANEN,AINOA\" and save the changes?",
           ui::mrYes);
    modal.OnForm<TTimedDlg>([](TTimedDlg& d) {
        EXPECT_TRUE(d.RichEdit1->toPlainText().startsWith("Saved:"))
            << d.RichEdit1->toPlainText().toStdString();
        d.done(ui::mrOk);
    });
    QTest::mouseClick(dialog->btnZoom, Qt::LeftButton);
    EXPECT_EQ(form->xDlgCharge->text(), "VIRTANEN,AINOA");
    EXPECT_EQ(form->LabelDOB->text(), "FEB 10, 1953");
    EXPECT_EQ(form->vornSource1->State(), ssBrowse) << "showing the new name is no change";
}

// Once, the date of birth of the person in charge stayed when the person was taken away, until
// the lab test was saved; a person picked shows its own date at once.
TEST_F(Tabs, TheDateOfBirthFollowsThePersonInChargeAtOnce) {
    Show("35");
    ASSERT_EQ(form->LabelDOB->text(), "DEC 4, 1963") << "KORHONEN,EINO";
    TypeInto(form->xDlgCharge, "LAINE,L");
    QTest::keyClick(form->xDlgCharge, Qt::Key_Return);
    TfrmFind* dialog = ShownFind();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->grdPick->Cell(0, 1), "LAINE,LIISA");
    dialog->grdPick->SetRow(1);
    QTest::mouseClick(dialog->btnSelect, Qt::LeftButton);
    EXPECT_EQ(form->LabelDOB->text(), "DEC 24, 1974");
    TypeInto(form->xDlgCharge, QString());
    form->xDlgCharge->clear();
    QTest::keyClick(form->xDlgCharge, Qt::Key_Tab);
    EXPECT_EQ(form->vornSource1->State(), ssEdit);
    EXPECT_EQ(form->LabelDOB->text(), "") << "no person, no date";
}

TEST_F(Tabs, ZoomAndInsertOpenTheSecondaryFormsAndTheGridShowsWhatTheyFiled) {
    Show("35");
    Page(4);
    const QString result = form->xgrdLogOpen->RecordNumber();
    modal.OnForm<TfrmLabResult>([&](TfrmLabResult& f) {
        EXPECT_EQ(f.vornSource1->Address().Number(), result);
        EXPECT_EQ(f.vornSource1->MasterSource(), form->vornSource1);
        EXPECT_FALSE(f.xedtName->isEnabled());
        f.BtnExit->click();
    });
    // A double click is a press and a release, then a second press that is the double click.
    const QPoint firstRow =
        form->xgrdLogOpen->visualRect(form->xgrdLogOpen->model()->index(0, 0)).center();
    QTest::mouseClick(form->xgrdLogOpen->viewport(), Qt::LeftButton, {}, firstRow);
    QTest::mouseDClick(form->xgrdLogOpen->viewport(), Qt::LeftButton, {}, firstRow);
    Page(5);
    const int rows = form->xgrdHieOpen->RowCount();
    InsertKetones();
    EXPECT_EQ(form->xgrdHieOpen->RowCount(), rows + 1);
    EXPECT_TRUE(form->xgrdHieOpen->RowLines().join(u'|').contains("KETONES"));
}

// Once, a subresult added to a lab test without any stayed out of the grid, which was read
// again only when its source showed a record.
TEST_F(Tabs, TheFirstSubresultOfALabTestAppearsInItsGrid) {
    Start();
    FetchCaptions();
    ASSERT_TRUE(form->vornSource1->GetAndFill(NewLabTest()));
    Page(5);
    ASSERT_EQ(form->xgrdHieOpen->Cell(0, 1), "") << "no subresult yet";
    ASSERT_EQ(form->vornSource5->State(), ssEmpty);
    InsertKetones();
    EXPECT_EQ(form->xgrdHieOpen->Cell(0, 1), "KETONES");
    EXPECT_EQ(form->vornSource5->State(), ssBrowse) << "the source shows the row";
    EXPECT_TRUE(form->btnZoom2->isEnabled());
}

// READER may only read. The demo's forms do not ask the server for the file's rights, so the
// buttons offer changes; the server refuses the edit, and the user is told why. Delete all is
// refused at the first ward, and its reason told as a single refused deletion tells it.
TEST_F(Tabs, AReaderIsToldWhyTheServerRefusesAChangeAndDeleteAll) {
    Start(QStringLiteral("reader"), QStringLiteral("reader.1234"));
    FetchCaptions();
    ASSERT_TRUE(form->vornSource1->GetAndFill("1"));
    EXPECT_TRUE(form->xbtnSaveAs->isEnabled());
    Expect(K::Error, "You may not change records of file 80001 (DEMO LAB TEST).");
    form->xedtName->setFocus();
    QTest::keyClicks(form->xedtName, "x");
    EXPECT_EQ(form->xedtName->text(), "Hemoglobin");
    EXPECT_EQ(form->vornSource1->State(), ssBrowse);
    EXPECT_EQ(Stored("80001", "1", ".01"), "HB");
    ASSERT_TRUE(form->vornSource1->GetAndFill("9"));
    Page(2);
    ASSERT_TRUE(form->btnDeleteAll->isVisible());
    Expect(K::Confirmation,
           "ALT Alanine aminotransferase has related records in Demo Departmental Lab Test.\r\n"
           " \r\nDelete all related records of Demo Departmental Lab Test?",
           ui::mrYes);
    Expect(K::Error,
           "Error in deleting record!\r\n"
           "You may not delete records of file 80006 (DEMO DEPARTMENTAL LAB TEST).");
    const int rows = form->xgrdLogSub->RowCount();
    Click(form->btnDeleteAll);
    EXPECT_EQ(SourceCore::Of(*form->vornSource2).Owners().deleter.DeletedCount(), 0);
    EXPECT_EQ(form->xgrdLogSub->RowCount(), rows);
    EXPECT_GT(rows, 1) << "the wards are still listed";
}

}  // namespace
}  // namespace vorn
