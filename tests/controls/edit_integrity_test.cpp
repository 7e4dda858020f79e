// What a user typed is filed into the record it was typed into, or thrown away only when the
// user answered No or Cancel; "Saved:" comes only after a filing that succeeded; no lock
// outlives its edit. Each case drives the real controls of a lab-test form the way a user
// does, against the development server, with a second user where one matters.
#include <gtest/gtest.h>

#include <memory>

#include <QRadioButton>
#include <QTextEdit>

#include "lookup/find_dialog.h"
#include "lookup/internal/xde_string_grid.h"
#include "source/internal/source_requests.h"
#include "source/timed_dialog.h"
#include "tests/controls/lab_test_edit_form.h"
#include "tests/support/another_user.h"
#include "tests/support/shown_find.h"

namespace vorn {
namespace {

using K = ui::MessageKind;
using Form = test::LabTestEditForm;

// A case of a parametrised test: its name, and what it does.
template <typename Signature>
struct Case {
    const char* name;
    std::function<Signature> run;
};

class Integrity : public test::SourceServer {
  protected:
    Integrity() : f(std::make_unique<Form>(Broker())) {}
    ~Integrity() override { test::HideFindDialogs(); }

    // Opens the form on lab test `record`.
    void Show(const char* record) {
        f->Open();
        ASSERT_TRUE(f->labTest->GetAndFill(QString::fromLatin1(record)));
    }
    // A field of lab test `record` as another user reads it from the server now.
    QString StoredLabTest(const char* record, const char* field) {
        return test::Stored(SecondBroker(), "80001", record, field);
    }
    bool OtherCanLock(const QString& record) {
        return test::CanLock(SecondBroker(), "80001", record);
    }
    // The message of a call on a link that died with the server, answered OK.
    void ExpectLinkError() {
        modal.OnMessage([](const ui::MessageRequest& r) {
            EXPECT_TRUE(r.text.startsWith("Error encountered.")) << r.text.toStdString();
            return int(ui::mrOk);
        });
    }
    void ExpectLengthRefused() { Expect(K::Warning, test::kLengthRefused); }
    std::size_t Filings(std::size_t mark) const { return CallCount(mark, "DDR FILER"); }

    std::unique_ptr<Form> f;
};

// --- saving what the user sees ---

struct ShownValue {
    const char* name;
    std::function<void(Form&)> change;
    const char* field;
    const char* stored;
    const char* savedAs;  // the record's text in the report
};

const ShownValue kShownValues[] = {
    {"Edit", [](Form& f) { Retype(f.name, "Haemoglobin"); }, "2", "Haemoglobin", "HB Haemoglobin"},
    {"CheckBox", [](Form& f) { test::Press(f.inUse, Qt::Key_Space); }, "3", "0", "HB Hemoglobin"},
    {"ComboBox", [](Form& f) { test::Press(f.format, Qt::Key_Down, Qt::Key_Down); }, "8", "4",
     "HB Hemoglobin"},
    {"RadioGroup",
     [](Form& f) {
         Focus(f.taker->Button(0));
         QTest::mouseClick(f.taker->Button(2), Qt::LeftButton);
     },
     "5", "3", "HB Hemoglobin"},
};

class SaveByQuestion : public Integrity, public ::testing::WithParamInterface<ShownValue> {};

// Once, moving to the Clear button skipped the control's exit, and the save that the
// question started filed the value the record had before.
TEST_P(SaveByQuestion, FilesTheValueTheFormShows) {
    const ShownValue& value = GetParam();
    Show("1");
    value.change(*f);
    Focus(f->Btn(DoClear));
    Expect(K::Confirmation, "Save  Demo Lab Test: HB Hemoglobin?\r\n", ui::mrYes);
    Expect(K::Information, QStringLiteral("Saved: Demo Lab Test: ") + value.savedAs + "\r\n");
    QTest::mouseClick(f->Btn(DoClear), Qt::LeftButton);
    EXPECT_EQ(StoredLabTest("1", value.field), value.stored);
    EXPECT_TRUE(OtherCanLock("1"));
}

INSTANTIATE_TEST_SUITE_P(Controls, SaveByQuestion, ::testing::ValuesIn(kShownValues),
                         test::ByName());

// Once, a person typed into the pointer edit and not yet resolved was no change at all.
TEST_F(Integrity, AnUnresolvedPointerIsAskedAboutAndResolvedBeforeFiling) {
    Show("1");
    Retype(f->person, "KORH");
    Focus(f->Btn(DoClear));  // leaving for the Clear button checks nothing
    Expect(K::Confirmation, "Save  Demo Lab Test: HB Hemoglobin?\r\n", ui::mrYes);
    Expect(K::Information, "Saved: Demo Lab Test: HB Hemoglobin\r\n");
    EXPECT_TRUE(f->labTest->CheckSaveChanges());
    EXPECT_EQ(StoredLabTest("1", "7"), "2");
    EXPECT_EQ(f->person->text(), "KORHONEN,EINO");
}

TEST_F(Integrity, SaveWithAnAmbiguousPointerOpensItsListAndFilesThePick) {
    f->person->ExecIfOneMatch = true;
    Show("1");
    Retype(f->person, "MAK");
    const std::size_t mark = CallMark();
    Expect(K::Warning,
           "Nothing was saved: choose the value of Person in charge from its list first.");
    f->Btn(DoSave)->click();  // Alt+S: the focus stays in the edit
    EXPECT_EQ(Filings(mark), 0u) << "nothing is filed while the person is not chosen";
    TfrmFind* list = f->person->Dialog();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list->grdPick, Qt::Key_Down);
    QTest::keyClick(list->grdPick, Qt::Key_Return);
    Expect(K::Information, "Saved: Demo Lab Test: HB Hemoglobin\r\n");
    f->Btn(DoSave)->click();
    EXPECT_EQ(StoredLabTest("1", "7"), "3") << "MAKINEN,HELMI, the second of the list";
}

// A save the lock timer's Yes started that files nothing: the value typed is refused by the
// server's check, or (by the filer) the program turns an accepted one into a value the filer
// refuses.
class LockTimerSave : public Integrity, public ::testing::WithParamInterface<bool> {};

// Once, "Saved:" came when nothing was filed.
TEST_P(LockTimerSave, ThatFailsSaysWhyAndKeepsTheEditItsLockAndItsTimer) {
    const bool byTheFiler = GetParam();
    if (byTheFiler)
        f->labTest->AfterValidateField = [](QObject*, bool&, const QString& field,
                                            QString& internal, QString&) {
            if (field == "6") internal = "abc";
        };
    Show("1");
    Retype(f->length, byTheFiler ? "7" : "abc");
    if (byTheFiler) Focus(f->name);
    test::FakeTimer& timer = test::LockTimer(*f->labTest);
    for (int minute = 1; minute < 10; ++minute)
        timer.Fire();
    Expect(K::Warning,
           "The record has been locked for 10 minutes. Save changes or ignore and continue "
           "modifying record?",
           ui::mrYes);
    if (byTheFiler)
        modal.OnForm<TTimedDlg>([](TTimedDlg& d) {
            EXPECT_TRUE(d.RichEdit1->toPlainText().startsWith("Error in saving!"));
            d.done(ui::mrOk);
        });
    else
        ExpectLengthRefused();
    const std::size_t mark = CallMark();
    timer.Fire();
    EXPECT_EQ(Filings(mark), byTheFiler ? 1u : 0u);
    EXPECT_EQ(f->labTest->State(), ssEdit);
    EXPECT_TRUE(test::Owners(*f->labTest).locker.Locked());
    EXPECT_TRUE(timer.Enabled()) << "the edit goes on, and so does its timer";
    EXPECT_EQ(test::Owners(*f->labTest).locker.MinutesLeft(), 10);
}

INSTANTIATE_TEST_SUITE_P(Refusals, LockTimerSave, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ByTheFiler" : "ByTheCheck"; });

// A filing the user asked for that fails keeps the edit for another try: its lock starts a
// fresh period, as after a save the timer asked for.
TEST_F(Integrity, ASaveTheFilerRefusesStartsTheLocksPeriodAgain) {
    f->labTest->AfterValidateField = [](QObject*, bool&, const QString& field, QString& internal,
                                        QString&) {
        if (field == "6") internal = "abc";
    };
    Show("1");
    Retype(f->length, "7");
    Focus(f->name);
    test::FakeTimer& timer = test::LockTimer(*f->labTest);
    for (int minute = 1; minute <= 4; ++minute)
        timer.Fire();
    ASSERT_EQ(test::Owners(*f->labTest).locker.MinutesLeft(), 6);
    modal.OnForm<TTimedDlg>([](TTimedDlg& d) {
        EXPECT_TRUE(d.RichEdit1->toPlainText().startsWith("Error in saving!"));
        d.done(ui::mrOk);
    });
    QTest::mouseClick(f->Btn(DoSave), Qt::LeftButton);
    EXPECT_EQ(f->labTest->State(), ssEdit);
    EXPECT_TRUE(test::Owners(*f->labTest).locker.Locked());
    EXPECT_EQ(test::Owners(*f->labTest).locker.MinutesLeft(), 10);
}

// --- filing into the right record ---

using Reading = Case<bool(Form&)>;  // of record 2
class ReadDuringEdit : public Integrity, public ::testing::WithParamInterface<Reading> {
  protected:
    ReadDuringEdit() { f = std::make_unique<Form>(Broker(), true); }
};

// Once, a read asked for by a grid click, the history or the program dropped the edits and
// kept the lock. Cancel keeps the record of the edit, and the grid's row with it.
TEST_P(ReadDuringEdit, AsksFirstAndNoGivesTheLockBack) {
    Show("2");
    f->labTest->UpdateHistory();
    ASSERT_TRUE(f->labTest->GetAndFill("1"));
    Retype(f->name, "Haemoglobin");
    Expect(K::Confirmation, "Save  Demo Lab Test: HB Hemoglobin?\r\n", ui::mrCancel);
    EXPECT_FALSE(GetParam().run(*f));
    EXPECT_EQ(f->name->text(), "Haemoglobin");
    EXPECT_EQ(f->labTest->State(), ssEdit);
    EXPECT_EQ(f->labTest->Address().Number(), "1");
    EXPECT_EQ(f->grid->Cell(0, f->grid->Row()), "HB");

    Expect(K::Confirmation, "Save  Demo Lab Test: HB Hemoglobin?\r\n", ui::mrNo);
    GetParam().run(*f);
    EXPECT_EQ(f->labTest->Address().Number(), "2");
    EXPECT_TRUE(OtherCanLock("1"));
    EXPECT_EQ(StoredLabTest("1", "2"), "Hemoglobin");
}

const Reading kReadings[] = {
    {"History",
     [](Form& f) {
         f.labTest->GoToHistory(0);
         return f.labTest->Address().Number() == "2";
     }},
    {"GridRow",
     [](Form& f) {
         TvornGrid& grid = *f.grid;
         for (int row = 1; row < grid.RowCount(); ++row) {
             if (grid.RecordNumberAt(row) != "2") continue;
             const QModelIndex cell = grid.model()->index(row - 1, 0);
             grid.scrollTo(cell);
             QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
         }
         return f.labTest->Address().Number() == "2";
     }},
};
INSTANTIATE_TEST_SUITE_P(Ways, ReadDuringEdit, ::testing::ValuesIn(kReadings), test::ByName());

// Once, the lock taken again after a lost link filed over another user's save.
TEST_F(Integrity, ALockRetakenAfterALostLinkChecksTheRecordFirst) {
    Show("1");
    Retype(f->name, "Mine");
    Focus(f->length);
    Server().Kill();
    Server().Start();
    // Meanwhile another user saves the record.
    TRPCBroker& other = SecondBroker();
    ASSERT_TRUE(requests::ReadLockDone(other.Call(requests::Lock("80001", "1", "LOCK"))));
    test::File(other, "EDIT", {"80001^2^1^Theirs"});
    other.Call(requests::Lock("80001", "1", "UNLOCK"));

    // The first call on the dead link fails; the edits stay.
    ExpectLinkError();
    EXPECT_FALSE(ui::Guarded([&] { f->labTest->Save(); }));
    EXPECT_EQ(f->name->text(), "Mine");
    Expect(K::Information, "The record has changed! Retrieving record again.");
    const std::size_t mark = CallMark();
    EXPECT_FALSE(f->labTest->Save());
    EXPECT_EQ(Filings(mark), 0u);
    EXPECT_EQ(StoredLabTest("1", "2"), "Theirs");
    EXPECT_EQ(f->name->text(), "Theirs");
    EXPECT_TRUE(OtherCanLock("1"));
}

// --- locks ---

TEST_F(Integrity, AFormClosedInTheMiddleOfAnEditGivesItsLockBack) {
    Show("1");
    Retype(f->name, "Haemoglobin");
    ASSERT_FALSE(OtherCanLock("1"));
    f.reset();
    EXPECT_TRUE(OtherCanLock("1"));
}

TEST_F(Integrity, ALinkThatDiesRightAfterTheFilingLeavesNoEditAndNoLock) {
    Show("1");
    Retype(f->name, "Haemoglobin");
    Focus(f->length);
    f->labTest->AfterGetAndFill = [this](QObject*) {
        if (test::Owners(*f->labTest).saver.Saving()) Server().Kill();
    };
    ExpectLinkError();
    EXPECT_FALSE(ui::Guarded([&] { f->labTest->Save(); }));
    EXPECT_EQ(f->labTest->State(), ssBrowse);
    EXPECT_FALSE(test::Owners(*f->labTest).locker.Locked());
    f->labTest->AfterGetAndFill = nullptr;
    Server().Start();
    EXPECT_EQ(StoredLabTest("1", "2"), "Haemoglobin");
}

// --- smaller ---

// Once, a pointer check the server could not make was shown as pointers without a list.
TEST_F(Integrity, APointerCheckTheServerCouldNotMakeShowsItsReason) {
    const QString number = test::AddLabTest(SecondBroker(), "ZZGONE", "Soon gone");
    Show(number.toLatin1().constData());
    SecondBroker().Call(requests::RecordDelete("80001", number));
    Expect(K::Error, "Error in deleting record!\r\nThere is no record " + number +
                         " in file 80001 (DEMO LAB TEST).\r\n");
    EXPECT_FALSE(f->labTest->Delete());
}

TEST_F(Integrity, AValueSetByTheProgramOnARecordHeldByAnotherUserIsRefusedOnce) {
    ASSERT_TRUE(requests::ReadLockDone(SecondBroker().Call(requests::Lock("80001", "1", "LOCK"))));
    Show("1");
    Expect(K::Error, "The record is being modified by someone else! Try again later.");
    EXPECT_FALSE(f->labTest->SetFieldValue("2", "Set by the program"));
    EXPECT_FALSE(test::Owners(*f->labTest).saver.HasChanges());
    EXPECT_EQ(f->labTest->State(), ssBrowse);
    EXPECT_EQ(f->name->text(), "Hemoglobin");
}

// Once, a record saved as a copy that could not be filed left its details on the record it
// was copied from: a subresult typed there went to that record, not to the copy on the form.
TEST_F(Integrity, ACopyNotYetFiledHasNoDetailsToTypeInto) {
    Show("35");
    ASSERT_EQ(f->explanation->text(), "GLUCOSE");
    Server().Kill();
    ExpectLinkError();
    EXPECT_FALSE(ui::Guarded([&] { f->labTest->SaveAs(); }));
    EXPECT_EQ(f->labTest->State(), ssNew);
    EXPECT_EQ(f->subresult->State(), ssNoMaster);
    EXPECT_EQ(f->explanation->text(), "");
    EXPECT_FALSE(f->explanation->isEnabled());
    Server().Start();
}

// A copy files every value it shows: one set back to the copied value stays the copy's, and
// the copy cannot empty itself into a cleared form.
TEST_F(Integrity, ACopyThatCouldNotBeFiledKeepsAValueSetBackToTheCopiedOne) {
    Show("1");
    const int copied = f->taker->ItemIndex();
    Server().Kill();
    ExpectLinkError();
    EXPECT_FALSE(ui::Guarded([&] { f->labTest->SaveAs(); }));
    Server().Start();
    ASSERT_EQ(f->labTest->State(), ssNew);
    const auto changed = test::Owners(*f->labTest).saver.Changed();
    ASSERT_TRUE(changed.contains(f->taker));
    Focus(f->taker->Button(copied));
    QTest::mouseClick(f->taker->Button(1 - copied), Qt::LeftButton);
    QTest::mouseClick(f->taker->Button(copied), Qt::LeftButton);
    Focus(f->name);
    EXPECT_EQ(f->labTest->State(), ssNew);
    EXPECT_EQ(f->taker->ItemIndex(), copied);
    EXPECT_EQ(test::Owners(*f->labTest).saver.Changed(), changed);
}

TEST_F(Integrity, ADetailWithoutMasterRecordIsEmptyAndCannotBeTypedInto) {
    Show("35");
    ASSERT_EQ(f->explanation->text(), "GLUCOSE");
    EXPECT_FALSE(f->labTest->GetAndFill("999"));
    EXPECT_EQ(f->subresult->State(), ssNoMaster);
    EXPECT_EQ(f->explanation->text(), "");
    EXPECT_EQ(f->subresult->Address().Number(), "");
    EXPECT_FALSE(f->explanation->isEnabled());
    EXPECT_FALSE(f->ordering->isEnabled());
    f->labTest->Clear();
    EXPECT_FALSE(f->explanation->isEnabled());
}

TEST_F(Integrity, AServerErrorWhileTheListFillsLeavesNoListOpen) {
    f->person->ExecIfOneMatch = true;
    f->person->VisibleButtons |= TvornDlgButton::DoInsert;
    f->persons->AfterGetList = [this](QObject*) { Server().Kill(); };
    Show("1");
    Retype(f->person, "MAK");
    modal.OnMessage([](const ui::MessageRequest&) { return int(ui::mrOk); });
    QTest::keyClick(f->person, Qt::Key_Return);
    EXPECT_FALSE(f->person->DialogActive());
    EXPECT_EQ(f->person->Dialog(), nullptr);
}

// --- the engine keeps its locks, its states and its questions honest ---

// Once, a lock kept after a refused unlock stood for every later record, which was then
// edited with no lock at all.
TEST_F(Integrity, ALockKeptAfterARefusedUnlockDoesNotStandForTheNextRecord) {
    Show("1");
    Retype(f->name, "Changed");
    // The session's lock goes behind the form's back: the form's own unlock is refused.
    Broker().Call(requests::Lock("80001", "1", "UNLOCK"));
    modal.OnForm<TTimedDlg>([](TTimedDlg& d) { d.done(ui::mrOk); });
    QTest::mouseClick(f->Btn(DoCancel), Qt::LeftButton);
    ASSERT_TRUE(f->labTest->GetAndFill("2"));
    Retype(f->name, "Mine");
    EXPECT_EQ(f->labTest->State(), ssEdit);
    EXPECT_FALSE(OtherCanLock("2")) << "the edit of record 2 holds record 2's lock";
}

// Once, disabling the focused control ran its exit inside the state change: the server was
// asked to check a value the record could no longer take.
TEST_F(Integrity, AStateChangeRunsNoExitOfTheFocusedControl) {
    Show("35");
    Retype(f->person, "MAK");
    const std::size_t mark = CallMark();
    f->labTest->SetState(ssNoMaster);
    EXPECT_EQ(CallNamesSince(mark), std::vector<std::string>{});
    EXPECT_EQ(f->person->Dialog(), nullptr);
}

// Once, an item the server refused was filed as an empty value.
TEST_F(Integrity, AListBoxItemTheServerRefusesIsSaidAndNeverFiledEmpty) {
    auto* box = test::Bind<TvornListBox>(f->form, f->labTest, "6", "Length of result field");
    box->addItems({"7", "abc"});
    box->setGeometry(400, 400, 120, 60);
    Show("1");
    test::ClickItem(box, 1);
    ExpectLengthRefused();
    Focus(f->name);
    EXPECT_EQ(box->InternalValue(), "6");
    ExpectLengthRefused();
    const std::size_t mark = CallMark();
    EXPECT_FALSE(f->labTest->Save());
    EXPECT_EQ(Filings(mark), 0u);
    EXPECT_EQ(StoredLabTest("1", "6"), "6");
}

// Once, a value the program set without the right to write was queued, and every later move
// asked to save what no save could file.
TEST_F(Integrity, AValueSetByTheProgramWithoutTheRightToWriteIsNotQueued) {
    Show("1");
    f->labTest->SetUserAccess(TvornUserAccess(uaRead) | uaBrowse);
    EXPECT_FALSE(f->labTest->SetFieldValue("2", "Set by the program"));
    EXPECT_FALSE(test::Owners(*f->labTest).saver.HasChanges());
    EXPECT_TRUE(f->labTest->GetAndFill("2")) << "no question";
}

// Once, a master that found its record gone took its details' edits with it unasked: the
// second detail was not asked once the first one's save had failed.
TEST_F(Integrity, AMasterRecordFoundGoneAsksEachDetailAboutItsEdits) {
    TRPCBroker& other = SecondBroker();
    const QString number = test::AddLabTest(other, "ZZGONE", "Soon gone");
    test::File(other, "ADD", {"80006^.01^+1^1", "80006^2^+1^" + number, "80006^3^+1^1"});
    Show(number.toLatin1().constData());
    ASSERT_EQ(f->departmental->State(), ssBrowse);
    QTest::mouseClick(f->ordering->Button(2), Qt::LeftButton);
    ASSERT_TRUE(test::Owners(*f->departmental).saver.HasChanges());
    Retype(f->explanation, "NEW PART");
    ASSERT_EQ(f->subresult->State(), ssNew);
    other.Call(requests::RecordDelete("80001", number));
    QStringList asked;
    const auto answer = [&](int result) {
        modal.OnForm<TTimedDlg>([&asked, result](TTimedDlg& d) {
            asked.append(d.RichEdit1->toPlainText());
            d.done(result);
        });
    };
    answer(ui::mrYes);  // the subresult: its save cannot file under a record that is gone
    answer(ui::mrOk);   // and says why
    answer(ui::mrNo);   // the departmental lab test
    f->labTest->Refresh();
    ASSERT_EQ(asked.size(), 3) << asked.join(" | ").toStdString();
    EXPECT_TRUE(asked[0].startsWith("Save new Subresult")) << asked[0].toStdString();
    EXPECT_TRUE(asked[2].startsWith("Save")) << asked[2].toStdString();
    EXPECT_TRUE(asked[2].contains("Departmental lab test")) << asked[2].toStdString();
    EXPECT_FALSE(test::Owners(*f->departmental).saver.HasChanges());
}

}  // namespace
}  // namespace vorn
