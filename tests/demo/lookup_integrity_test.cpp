// The lookups of Demo lab test file what they show, driven by keys and clicks against the real
// server: the abbreviation typed over and saved by each way a user saves, the ward and person
// lookups tied to the record they were typed for, and a save blocked by an open list says why.
#include <QTextEdit>

#include "lookup/internal/xde_string_grid.h"
#include "source/internal/source_core.h"
#include "source/timed_dialog.h"
#include "tests/demo/lab_test_app.h"

namespace vorn {
namespace {

class Lookups : public test::LabTestApp {
  protected:
    // Lab test 1 shown: it has two wards, so a row click has another row to go to.
    void SetUp() override { Show("1"); }
    // Answers the next toolset message with `answer`, keeping its text.
    void Answer(int answer, QString* text = nullptr) {
        modal.OnForm<TTimedDlg>([answer, text](TTimedDlg& d) {
            if (text) *text = d.RichEdit1->toPlainText();
            d.done(answer);
        });
    }
    static auto Filings(const test::Calls& calls) {
        return std::count(calls.begin(), calls.end(), "DDR FILER");
    }
    // `text` typed into the person in charge, and Enter: the list that opened, if any.
    TfrmFind* SearchPersons(const QString& text) {
        TypeInto(form->xDlgCharge, text);
        QTest::keyClick(form->xDlgCharge, Qt::Key_Return);
        return ShownFind();
    }
};

// The ways of saving the abbreviation typed over, each of which files it as the new name.
struct SaveWay {
    const char* name;
    bool asks;  // the way asks "Save ...?" first
    void (*save)(TfrmLabTest&);
};

const SaveWay kSaveWays[] = {
    {"ClearButton", true, [](TfrmLabTest& f) { QTest::mouseClick(f.xbtnClear, Qt::LeftButton); }},
    {"Escape", true, [](TfrmLabTest& f) { QTest::keyClick(f.xDlgAbbreviation, Qt::Key_Escape); }},
    // The Save button's accelerator, pressed with the caret still in the field.
    {"SaveAccelerator", false,
     [](TfrmLabTest& f) {
         const QChar key = test::MnemonicOf(f.xbtnSave->text());
         ASSERT_FALSE(key.isNull()) << f.xbtnSave->text().toStdString();
         QTest::keyClick(f.xDlgAbbreviation, key.toLatin1(), Qt::AltModifier);
         // A button's accelerator clicks it once its pressed look has shown.
         EXPECT_TRUE(QTest::qWaitFor(
             [&f] { return !SourceCore::Of(*f.vornSource1).Owners().saver.HasChanges(); }, 2000));
     }},
    {"LockTimer", true,
     [](TfrmLabTest& f) {
         auto& timer =
             static_cast<test::FakeTimer&>(SourceCore::Of(*f.vornSource1).Owners().locker.Timer());
         for (int minute = 0; minute < f.vornSource1->LockTimeOut; ++minute)
             timer.Fire();
     }},
};

class Rename : public Lookups, public ::testing::WithParamInterface<SaveWay> {};

// Once, the question's Yes filed the old abbreviation and said "Saved:" with it.
TEST_P(Rename, TheTypedAbbreviationIsFiledAndSavedNamesIt) {
    TypeInto(form->xDlgAbbreviation, QStringLiteral("HBQ"));
    QString saved;
    if (GetParam().asks) Answer(ui::mrYes);
    Answer(ui::mrOk, &saved);
    EXPECT_EQ(Filings(CallsOf([&] { GetParam().save(*form); })), 1);
    EXPECT_EQ(saved, test::ShownToolsetText("Saved: Demo Lab Test: HBQ Hemoglobin\r\n"));
    EXPECT_EQ(Stored("80001", "1", ".01"), "HBQ");
    EXPECT_TRUE(OtherCanLock("1"));
}

INSTANTIATE_TEST_SUITE_P(Ways, Rename, ::testing::ValuesIn(kSaveWays),
                         [](const auto& info) { return std::string(info.param.name); });

// The name the server refuses is said, and nothing is filed or reported as saved.
TEST_F(Lookups, ARenameTheServerRefusesIsSaidAndNothingIsFiled) {
    TypeInto(form->xDlgAbbreviation, QStringLiteral("HBTOOLONGNAME"));
    Answer(ui::mrYes);
    QString said;
    Answer(ui::mrOk, &said);
    EXPECT_EQ(Filings(CallsOf([&] { QTest::mouseClick(form->xbtnClear, Qt::LeftButton); })), 0);
    EXPECT_TRUE(said.startsWith("Answer with 1 to 10 characters")) << said.toStdString();
    EXPECT_EQ(Stored("80001", "1", ".01"), "HB");
    EXPECT_EQ(form->xDlgAbbreviation->text(), "HBTOOLONGNAME") << "the typed name stays";
}

enum class Leave { Tab, Row };
class WardLookup : public Lookups, public ::testing::WithParamInterface<Leave> {};

// A lookup belongs to the record it was typed for. Once, the list left open under a No took the
// pick into the ward record the user had declined to change (or into the other row's record),
// and a later Yes filed it.
TEST_P(WardLookup, RefusedWithNoItsListEndsAndNothingIsLockedOrFiled) {
    Page(2);
    test::Activate(*form);
    const QString ward = form->vornSource2->Address().Number();
    const QString wardName = Stored("80006", ward, ".01");
    TypeInto(form->xDlgWard, QStringLiteral("INT"));
    QString question;
    Answer(ui::mrNo, &question);
    const std::size_t mark = server.Mark();
    if (GetParam() == Leave::Tab) {
        Page(3);
    } else {
        TvornGrid* grid = form->xgrdLogSub;
        ASSERT_GE(grid->RowCount(), 3);
        const int other = form->vornSource2->Address().Number() == grid->RecordNumberAt(1) ? 1 : 0;
        const QRect cell = grid->visualRect(grid->model()->index(other, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    EXPECT_TRUE(question.startsWith("Save ")) << question.toStdString();
    EXPECT_EQ(ShownFind(), nullptr) << "No ends the lookup typed under the question";
    EXPECT_EQ(form->xDlgWard->Dialog(), nullptr);
    EXPECT_EQ(Filings(server.NamesSince(mark)), 0);
    EXPECT_FALSE(SourceCore::Of(*form->vornSource2).Owners().locker.Locked());
    EXPECT_TRUE(OtherCanLock(ward, "80006"));
    EXPECT_EQ(Stored("80006", ward, ".01"), wardName);
    EXPECT_FALSE(SourceCore::Of(*form->vornSource2).Owners().saver.HasChanges());
}

INSTANTIATE_TEST_SUITE_P(Ways, WardLookup, ::testing::Values(Leave::Tab, Leave::Row));

// A pick made in a list the form has since moved away from is no value of the record shown.
TEST_F(Lookups, AListLeftOpenWhileTheFormMovesOnPutsNothingIntoTheRecordNowShown) {
    ASSERT_NE(SearchPersons(QStringLiteral("MA")), nullptr);
    Answer(ui::mrNo);
    ASSERT_TRUE(form->vornSource1->GetAndFill("2"));
    EXPECT_EQ(ShownFind(), nullptr);
    EXPECT_EQ(form->vornSource1->State(), ssBrowse);
    EXPECT_FALSE(SourceCore::Of(*form->vornSource1).Owners().locker.Locked());
    EXPECT_EQ(form->xDlgCharge->InternalValue(), Stored("80001", "2", "7"));
}

// The name typed back over a pick stands for the person the record had.
TEST_F(Lookups, ThePersonTypedBackOverAPickIsTheOneFiled) {
    TfrmFind* dialog = SearchPersons(QStringLiteral("MAKINEN"));
    ASSERT_NE(dialog, nullptr);
    TXDEStringGrid& grid = *dialog->grdPick;
    int row = 1;
    while (row < grid.RowCount() && grid.Cell(0, row) != "MAKINEN,HELMI")
        ++row;
    ASSERT_LT(row, grid.RowCount()) << "no row MAKINEN,HELMI";
    grid.SetRow(row);
    QTest::mouseClick(dialog->btnSelect, Qt::LeftButton);
    ASSERT_EQ(form->xDlgCharge->InternalValue(), "3");
    TypeInto(form->xDlgCharge, QStringLiteral("VIRTANEN,AINO"));
    QTest::keyClick(form->xDlgCharge, Qt::Key_Tab);
    EXPECT_EQ(form->xDlgCharge->InternalValue(), "1");
    EXPECT_FALSE(
        SourceCore::Of(*form->vornSource1).Owners().saver.Changed().contains(form->xDlgCharge));
}

// Yes to the question while the person list is open cannot save: the user is told why and
// the form stays where it was, its list open and its lock held.
TEST_F(Lookups, YesWhileTheListIsOpenSaysWhyAndStays) {
    ASSERT_NE(SearchPersons(QStringLiteral("MA")), nullptr);
    Answer(ui::mrYes);
    Expect(ui::MessageKind::Warning,
           "Nothing was saved: choose the value of Person in charge from its list first.");
    EXPECT_EQ(Filings(CallsOf([&] { form->vornSource1->CheckSaveChanges(); })), 0);
    EXPECT_NE(ShownFind(), nullptr);
    EXPECT_EQ(form->vornSource1->State(), ssEdit);
    EXPECT_EQ(form->xDlgCharge->text(), "MA");
    EXPECT_FALSE(OtherCanLock("1"));
}

}  // namespace
}  // namespace vorn
