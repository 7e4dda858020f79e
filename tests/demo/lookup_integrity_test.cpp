// The lookups of Demo lab test file what they show: the abbreviation typed over and saved by
// each way a user saves, the ward and person lookups tied to the record they were typed for,
// and a save that cannot go on while a list is open says why. Each case drives the running
// demo by keys and clicks against the real server and checks the server's records.
#include <QTextEdit>

#include "lookup/internal/xde_string_grid.h"
#include "source/internal/source_core.h"
#include "source/timed_dialog.h"
#include "tests/demo/lab_test_app.h"

namespace vorn {
namespace {

using K = ui::MessageKind;

class Lookups : public test::LabTestApp {
  protected:
    // Answers the next toolset message with `answer`, keeping its text.
    void Answer(int answer, QString* text = nullptr) {
        modal.OnForm<TTimedDlg>([answer, text](TTimedDlg& d) {
            if (text) *text = d.RichEdit1->toPlainText();
            d.done(answer);
        });
    }
    std::size_t Filings(std::size_t mark) const {
        std::size_t n = 0;
        for (const std::string& name : server.NamesSince(mark))
            n += name == "DDR FILER";
        return n;
    }
    // `text` typed into the person in charge, and Enter: the list that opened, if any.
    TfrmFind* SearchPersons(const QString& text) {
        TypeInto(form->xDlgCharge, text);
        QTest::keyClick(form->xDlgCharge, Qt::Key_Return);
        return ShownFind();
    }
    // Picks the row of the open list whose first column is `name`.
    static void PickRow(TfrmFind& dialog, const QString& name) {
        TXDEStringGrid& grid = *dialog.grdPick;
        for (int row = 1; row < grid.RowCount(); ++row)
            if (grid.Cell(0, row) == name) {
                grid.SetRow(row);
                QTest::mouseClick(dialog.btnSelect, Qt::LeftButton);
                return;
            }
        ADD_FAILURE() << "no row " << name.toStdString();
    }
};

// --- the abbreviation typed over is a new name, filed by every way of saving ---

struct SaveWay {
    const char* name;
    bool asks;  // the way asks "Save ...?" first
    std::function<void(test::LabTestApp&, TfrmLabTest&)> save;
};

const SaveWay kSaveWays[] = {
    {"ClearButton", true,
     [](test::LabTestApp&, TfrmLabTest& f) { QTest::mouseClick(f.xbtnClear, Qt::LeftButton); }},
    {"Escape", true,
     [](test::LabTestApp&, TfrmLabTest& f) {
         QTest::keyClick(f.xDlgAbbreviation, Qt::Key_Escape);
     }},
    // The Save button's accelerator, pressed with the caret still in the field.
    {"SaveAccelerator", false,
     [](test::LabTestApp&, TfrmLabTest& f) {
         const QChar key = test::MnemonicOf(f.xbtnSave->text());
         ASSERT_FALSE(key.isNull()) << f.xbtnSave->text().toStdString();
         QTest::keyClick(f.xDlgAbbreviation, key.toLatin1(), Qt::AltModifier);
         // A button's accelerator clicks it once its pressed look has shown.
         EXPECT_TRUE(QTest::qWaitFor(
             [&f] { return !SourceCore::Of(*f.vornSource1).Owners().saver.HasChanges(); }, 2000));
     }},
    {"LockTimer", true,
     [](test::LabTestApp&, TfrmLabTest& f) {
         auto& timer =
             static_cast<test::FakeTimer&>(SourceCore::Of(*f.vornSource1).Owners().locker.Timer());
         for (int minute = 0; minute < f.vornSource1->LockTimeOut; ++minute)
             timer.Fire();
     }},
};

class Rename : public Lookups, public ::testing::WithParamInterface<SaveWay> {};

// Once, the question's Yes filed the old abbreviation and said "Saved:" with it.
TEST_P(Rename, TheTypedAbbreviationIsFiledAndSavedNamesIt) {
    Show("1");
    TypeInto(form->xDlgAbbreviation, QStringLiteral("HBQ"));
    QString saved;
    if (GetParam().asks) Answer(ui::mrYes);
    Answer(ui::mrOk, &saved);
    const std::size_t mark = server.Mark();
    GetParam().save(*this, *form);
    EXPECT_EQ(saved, test::ShownToolsetText("Saved: Demo Lab Test: HBQ Hemoglobin\r\n"));
    EXPECT_EQ(Stored("80001", "1", ".01"), "HBQ");
    EXPECT_EQ(Filings(mark), 1u);
    EXPECT_TRUE(OtherCanLock("1"));
}

INSTANTIATE_TEST_SUITE_P(Ways, Rename, ::testing::ValuesIn(kSaveWays),
                         [](const auto& info) { return std::string(info.param.name); });

// The name the server refuses is said, and nothing is filed or reported as saved.
TEST_F(Lookups, ARenameTheServerRefusesIsSaidAndNothingIsFiled) {
    Show("1");
    TypeInto(form->xDlgAbbreviation, QStringLiteral("HBTOOLONGNAME"));
    Answer(ui::mrYes);
    QString said;
    Answer(ui::mrOk, &said);
    const std::size_t mark = server.Mark();
    QTest::mouseClick(form->xbtnClear, Qt::LeftButton);
    EXPECT_TRUE(said.startsWith("Answer with 1 to 10 characters")) << said.toStdString();
    EXPECT_EQ(Filings(mark), 0u);
    EXPECT_EQ(Stored("80001", "1", ".01"), "HB");
    EXPECT_EQ(form->xDlgAbbreviation->text(), "HBTOOLONGNAME") << "the typed name stays";
}

// --- a lookup belongs to the record it was typed for ---

enum class Leave { Tab, Row };

class WardLookup : public Lookups, public ::testing::WithParamInterface<Leave> {};

// Once, the list left open under a No took the pick into the ward record the user had
// declined to change (or into the other row's record), and a later Yes filed it.
TEST_P(WardLookup, RefusedWithNoItsListEndsAndNothingIsLockedOrFiled) {
    Show("1");  // two wards: the row click has another row to go to
    Page(2);
    Activate();
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
    EXPECT_EQ(Filings(mark), 0u);
    EXPECT_FALSE(SourceCore::Of(*form->vornSource2).Owners().locker.Locked());
    EXPECT_TRUE(OtherCanLock("80006", ward));
    EXPECT_EQ(Stored("80006", ward, ".01"), wardName);
    EXPECT_FALSE(SourceCore::Of(*form->vornSource2).Owners().saver.HasChanges());
}

INSTANTIATE_TEST_SUITE_P(Ways, WardLookup, ::testing::Values(Leave::Tab, Leave::Row));

// A pick made in a list the form has since moved away from is no value of the record shown.
TEST_F(Lookups, AListLeftOpenWhileTheFormMovesOnPutsNothingIntoTheRecordNowShown) {
    Show("1");
    TfrmFind* dialog = SearchPersons(QStringLiteral("MA"));
    ASSERT_NE(dialog, nullptr);
    Answer(ui::mrNo);
    ASSERT_TRUE(form->vornSource1->GetAndFill("2"));
    EXPECT_EQ(ShownFind(), nullptr);
    EXPECT_EQ(form->vornSource1->State(), ssBrowse);
    EXPECT_FALSE(SourceCore::Of(*form->vornSource1).Owners().locker.Locked());
    EXPECT_EQ(form->xDlgCharge->InternalValue(), Stored("80001", "2", "7"));
}

// The name typed back over a pick stands for the person the record had.
TEST_F(Lookups, ThePersonTypedBackOverAPickIsTheOneFiled) {
    Show("1");
    TfrmFind* dialog = SearchPersons(QStringLiteral("MAKINEN"));
    ASSERT_NE(dialog, nullptr);
    PickRow(*dialog, QStringLiteral("MAKINEN,HELMI"));
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
    Show("1");
    ASSERT_NE(SearchPersons(QStringLiteral("MA")), nullptr);
    Answer(ui::mrYes);
    test::ExpectToolsetMessage(
        modal, K::Warning,
        "Nothing was saved: choose the value of Person in charge from its list first.");
    const std::size_t mark = server.Mark();
    form->vornSource1->CheckSaveChanges();
    EXPECT_EQ(Filings(mark), 0u);
    EXPECT_NE(ShownFind(), nullptr);
    EXPECT_EQ(form->vornSource1->State(), ssEdit);
    EXPECT_EQ(form->xDlgCharge->text(), "MA");
    EXPECT_FALSE(OtherCanLock("1"));
}

}  // namespace
}  // namespace vorn
