// Saving changes and new records, the questions and reports around them, required fields,
// and what is kept when a save fails or the link dies; the lock a source holds while a record
// is changed, the lock timer, and deletion.
#include <gtest/gtest.h>

#include <QTextEdit>

#include "source/timed_dialog.h"
#include "tests/source/lab_test_source.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

using test::Calls;
using K = ui::MessageKind;

class Saving : public test::LabTestSource {
  protected:
    void SetUp() override { Open(); }
    void NewLabTest(const QString& abbreviationText) {
        source.Insert();
        abbreviation.Change(abbreviationText, abbreviationText);
        name.Change("New test", "New test");
        // An emptied field stays among the changes (as a combo box emptied by the user does).
        introduced.Change("", "");
        length.Change("5", "5");
    }
};

TEST_F(Saving, EditingOneFieldLocksChecksValidatesFilesReadsBackReportsAndUnlocks) {
    source.GetAndFill("1");
    Expect(K::Information, "Saved: Demo Lab Test: HB Haemoglobin\r\n");
    const auto sent = SentBy([&] {
        name.Change("Haemoglobin", "Haemoglobin");
        source.ValidateField("2", "Haemoglobin");
        EXPECT_TRUE(source.Save());
    });
    // The lock goes as soon as the record is filed; the identifier text is read once, for
    // the report and the history.
    EXPECT_EQ(test::Names(sent),
              (Calls{"VRNX LOCKS", "DDR GETS ENTRY DATA", "DDR VALIDATOR", "DDR FILER",
                     "VRNX LOCKS", "DDR GETS ENTRY DATA", "DDR LISTER", "DDR LISTER",
                     "VRNX IDENTIFIERS", "VRNX DIALOG"}));
    EXPECT_EQ(sent.at(0).Entry("\"ACT\""), "LOCK");
    EXPECT_EQ(sent[3].Literal(0), "EDIT");
    EXPECT_EQ(test::ListOf(sent[3], 1), "1=80001^2^1^Haemoglobin") << "only the changed field";
    EXPECT_EQ(sent[4].Entry("\"ACT\""), "UNLOCK");
    EXPECT_EQ(source.State(), ssBrowse);
    EXPECT_FALSE(Core().Owners().locker.Locked());
}

TEST_F(Saving, ANewRecordFilesItsFieldsWithAGapForAnEmptyOneAndTakesItsNewNumber) {
    NewLabTest("ZZ1");
    Expect(K::Information, "Saved new: Demo Lab Test: ZZ1 New test\r\n");
    const auto sent = SentBy([&] { ASSERT_TRUE(source.SaveAs()); });
    EXPECT_EQ(test::Names(sent), (Calls{"DDR FILER", "DDR GETS ENTRY DATA", "DDR LISTER",
                                        "DDR LISTER", "VRNX IDENTIFIERS", "VRNX DIALOG"}));
    EXPECT_EQ(sent.at(0).Literal(0), "ADD");
    // The empty date keeps its number, 3, unused.
    EXPECT_EQ(test::ListOf(sent[0], 1), "1=80001^.01^+1^ZZ1 2=80001^2^+1^New test 4=80001^6^+1^5");
    EXPECT_EQ(source.Address().Iens(), "41,");
    EXPECT_EQ(source.State(), ssBrowse);
    EXPECT_EQ(abbreviation.text(), "ZZ1");
}

// Values set by the program on an empty form start a new record, which Save files and reports
// as saved (its filing: the grid's header-click test; a copy: the edit integrity tests).
TEST_F(Saving, FieldValuesSetOnAnEmptyFormAreFiledAsANewRecord) {
    ASSERT_EQ(source.State(), ssEmpty);
    ASSERT_TRUE(source.SetFieldValue(".01", "ZZ2"));
    ASSERT_TRUE(source.SetFieldValue("2", "Set by the program"));
    source.ConfirmMessages.setFlag(ConfirmChange, false);
    Expect(K::Information, "Saved: Demo Lab Test: ZZ2 Set by the program\r\n");
    ASSERT_TRUE(source.Save());
    EXPECT_EQ(source.State(), ssBrowse);
}

TEST_F(Saving, AMissingRequiredFieldStopsTheSaveWithoutACall) {
    source.Insert();
    abbreviation.Change("ZZ2", "ZZ2");
    Expect(K::Error, "Required field (Field 2) is missing!");
    EXPECT_EQ(CallsOf([&] { EXPECT_FALSE(source.SaveAs()); }), Calls{"VRNX DIALOG"})
        << "only the message's text";
    EXPECT_EQ(source.State(), ssNew);
}

struct Question {
    const char* name;
    bool newRecord;
    bool onIndexField;
    const char* text;
};

class Questions : public Saving, public ::testing::WithParamInterface<Question> {};

TEST_P(Questions, AreAskedWithTheServersTextAndItsParametersPlaced) {
    const Question& q = GetParam();
    source.ConfirmMessages = ConfirmChange | ConfirmInsert;
    if (q.newRecord) {
        NewLabTest("ZZ3");
    } else {
        source.GetAndFill("1");
        if (q.onIndexField)
            abbreviation.Change("HBX", "HBX");
        else
            name.Change("Haemoglobin", "Haemoglobin");
    }
    Expect(K::Confirmation, q.text, ui::mrCancel);
    EXPECT_FALSE(q.newRecord ? source.SaveAs() : source.Save());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Questions,
    ::testing::Values(
        Question{"ChangeOfTheNamingField", false, true,
                 "Do you want to change the value for Demo Lab Test: Field .01 into \"HBX\" and "
                 "save the changes?"},
        Question{"ChangeOfAnotherField", false, false,
                 "Save changes to Demo Lab Test\r\nHB Hemoglobin?"},
        Question{"NewRecord", true, false, "Save new Demo Lab Test: ZZ3\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// A refused save says so and keeps the record's lock: another user cannot change the record in
// between (and reads it again) and have the next try overwrite that change.
TEST_F(Saving, ARefusedSaveSaysSoAndKeepsTheLockUntilTheSaveSucceeds) {
    source.GetAndFill("1");
    length.Change("abc", "abc");
    // The server's reason comes with the report.
    Expect(K::Information,
           "Error in saving!\r\nFile 80001 (DEMO LAB TEST), record 1:\r\n\"abc\" is not a number. "
           "LENGTH OF RESULT FIELD takes a whole number from 1 to 250.");
    EXPECT_FALSE(source.Save());
    EXPECT_EQ(source.State(), ssEdit);
    EXPECT_TRUE(Core().Owners().locker.Locked());
    test::OtherUser other(SecondBroker(), form);
    other.source.ShowMessages = true;
    other.source.GetAndFill("1");
    Expect(K::Error, "The record is being modified by someone else! Try again later.");
    EXPECT_EQ(CallsOf([&] { other.name.Change("Overwritten", "Overwritten"); }),
              (Calls{"VRNX LOCKS", "VRNX DIALOG", "DDR GETS ENTRY DATA"}));
    EXPECT_EQ(other.source.State(), ssBrowse);
    EXPECT_EQ(other.name.text(), "Hemoglobin") << "the other user reads the record again";
    EXPECT_EQ(test::Outcome(other.source),
              std::pair(SourceOperation::Lock, SourceOutcome::Refused));
    length.Change("7", "7");
    Expect(K::Information, "Saved: Demo Lab Test: HB Hemoglobin\r\n");
    EXPECT_TRUE(source.Save());
    EXPECT_FALSE(Core().Owners().locker.Locked());
    other.name.Change("Changed after", "Changed after");
    EXPECT_EQ(other.source.State(), ssEdit);
    // A new record refused says so, too.
    NewLabTest("ZZ4");
    length.Change("abc", "abc");
    Expect(K::Information,
           "Error in saving new record!\r\nFile 80001 (DEMO LAB TEST), new record +1:\r\n\"abc\" "
           "is not a number. LENGTH OF RESULT FIELD takes a whole number from 1 to 250.");
    EXPECT_FALSE(source.SaveAs());
    EXPECT_EQ(source.State(), ssNew);
    EXPECT_EQ(abbreviation.text(), "ZZ4");
}

// With the messages off the changes are thrown away without a question (the questions and
// their answers are the model-based edit test's); without a time-out no lock timer starts.
TEST_F(Saving, WithoutMessagesLeavingThrowsTheChangesAwayAndWithoutATimeOutNoTimerStarts) {
    source.ShowMessages = false;
    source.GetAndFill("1");
    name.Change("Haemoglobin", "Haemoglobin");
    EXPECT_TRUE(source.CheckSaveChanges());
    EXPECT_EQ(source.State(), ssBrowse);
    EXPECT_EQ(name.text(), "Hemoglobin");
    EXPECT_FALSE(Core().Owners().locker.Locked());
    source.LockTimeOut = 0;
    source.GetAndFill("1");
    name.Change("Mine", "Mine");
    EXPECT_TRUE(Core().Owners().locker.Locked());
    EXPECT_FALSE(Core().Owners().locker.Timer().Enabled());
}

TEST_F(Saving, NothingIsLostWhenTheServerDiesBeforeTheFiling) {
    source.GetAndFill("1");
    name.Change("Kept through a crash", "Kept through a crash");
    Server().Kill();
    modal.OnMessage([](const ui::MessageRequest& r) {
        EXPECT_EQ(r.kind, K::Error);
        EXPECT_TRUE(r.text.startsWith("Error encountered.\nFunction was: "))
            << r.text.toStdString();
        return int(ui::mrOk);
    });
    EXPECT_FALSE(ui::Guarded([&] { source.Save(); }));
    EXPECT_EQ(source.State(), ssEdit);
    EXPECT_FALSE(Core().Owners().saver.Saving());
    EXPECT_EQ(name.text(), "Kept through a crash");
    EXPECT_EQ(Core().Owners().saver.Changed().size(), 1);
    Server().Start();
    Expect(K::Information, "Saved: Demo Lab Test: HB Kept through a crash\r\n");
    const Calls after = CallsOf([&] { EXPECT_TRUE(source.Save()); });
    // The lock is taken again on the new link, and the record is checked before anything is
    // filed: another user may have saved it while the link was down.
    ASSERT_GE(after.size(), 6u);
    EXPECT_EQ(Calls(after.begin(), after.begin() + 6),
              (Calls{"XUS SIGNON SETUP", "XUS AV CODE", "XWB CREATE CONTEXT", "VRNX LOCKS",
                     "DDR GETS ENTRY DATA", "DDR FILER"}));
    source.GetAndFill("2");
    source.GetAndFill("1");
    EXPECT_EQ(name.text(), "Kept through a crash");
}

// --- the lock a source holds while a record is changed, the lock timer, and deletion ---

// A lock refused for want of the right says why: the demo's reader (the tabs test).
using Locking = Saving;

TEST_F(Locking, ARecordChangedByAnotherUserSinceItWasReadIsReadAgainWhenTheEditStarts) {
    source.GetAndFill("1");
    test::OtherUser other(SecondBroker(), form);
    other.source.GetAndFill("1");
    other.name.Change("Changed meanwhile", "Changed meanwhile");
    ASSERT_TRUE(other.source.Save());
    Expect(K::Information, "The record has changed! Retrieving record again.");
    name.Change("Mine", "Mine");
    EXPECT_EQ(source.State(), ssBrowse);
    EXPECT_EQ(name.text(), "Changed meanwhile");
    EXPECT_FALSE(Core().Owners().locker.Locked());
}

struct TimeOutAnswer {
    const char* name;
    int answer;
    TvornSourceState after;
    const char* nameAfter;
    bool timerAfter;
    const char* report;  // the message that follows the answer
};

class LockTimer : public Locking, public ::testing::WithParamInterface<TimeOutAnswer> {};

TEST_P(LockTimer, AsksAfterTheMinutesAndDoesWhatTheUserAnswers) {
    const TimeOutAnswer& c = GetParam();
    source.LockTimeOut = 5;
    source.GetAndFill("1");
    name.Change("Mine", "Mine");
    auto& timer = static_cast<test::FakeTimer&>(Core().Owners().locker.Timer());
    ASSERT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 60000);
    for (int minute = 1; minute < 5; ++minute)
        timer.Fire();
    EXPECT_EQ(Core().Owners().locker.MinutesLeft(), 1);
    modal.OnForm<TTimedDlg>([&c](TTimedDlg& d) {
        EXPECT_EQ(d.RichEdit1->toPlainText(),
                  "The record has been locked for 5 minutes. Save changes or ignore and "
                  "continue modifying record?");
        EXPECT_EQ(d.Timer1->Enabled(), true) << "a 60-second countdown";
        d.done(c.answer);
    });
    if (c.report) Expect(K::Information, c.report);
    timer.Fire();
    EXPECT_EQ(source.State(), c.after);
    EXPECT_EQ(name.text(), c.nameAfter);
    EXPECT_EQ(timer.Enabled(), c.timerAfter);
    if (c.timerAfter) {
        EXPECT_EQ(Core().Owners().locker.MinutesLeft(), 5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LockTimer,
    ::testing::Values(TimeOutAnswer{"Yes", ui::mrYes, ssBrowse, "Mine", false,
                                    "Saved: Demo Lab Test: HB Mine\r\n"},
                      TimeOutAnswer{"No", ui::mrNo, ssBrowse, "Hemoglobin", false, nullptr},
                      TimeOutAnswer{"Ignore", ui::mrIgnore, ssEdit, "Mine", true, nullptr},
                      TimeOutAnswer{"NoAnswer", ui::mrNone, ssBrowse, "Hemoglobin", false,
                                    "Changes cancelled due to database lock timeout."}),
    [](const auto& info) { return std::string(info.param.name); });

using Deletion = Saving;

TEST_F(Deletion, ARefusalIsNotReportedAsDeletedAndASubFileEntryGoesThroughTheFiler) {
    SaveNewLabTest("ZZ6");
    test::OtherUser other(SecondBroker(), form);
    other.source.GetAndFill("41");
    other.name.Change("Held", "Held");
    ASSERT_TRUE(SourceCore::Of(other.source).Owners().locker.Locked());
    Expect(K::Confirmation, "Delete Demo Lab Test: ZZ6 To delete?\r\n", ui::mrYes);
    Expect(K::Information,
           "Error in deleting record!\r\nThe record 41 of file 80001 (DEMO LAB TEST) "
           "is being edited by another user.");
    EXPECT_FALSE(source.Delete());
    EXPECT_EQ(source.Address().Iens(), "41,");
    EXPECT_EQ(abbreviation.text(), "ZZ6");
    EXPECT_EQ(test::Outcome(source), std::pair(SourceOperation::Delete, SourceOutcome::Refused));
    EXPECT_TRUE(source.LastOutcome().lines.join(' ').contains("is being edited by another user"))
        << source.LastOutcome().lines.join('\n').toStdString();
    EXPECT_FALSE(source.LastOutcome().unanswered);
    // An entry of a hierarchical sub-file is deleted through the filer without a pointer check.
    TvornSource subresults;
    subresults.setObjectName("vornSource3");
    subresults.FileName = "Subresult";
    subresults.FileNumber = "80001.02";
    subresults.TypeIfSubFile = TvornSubFileType::Hierarchical;
    subresults.SetMasterSource(&source);
    test::FakeBoundControl explanation(subresults, ".01", &form);
    Open(subresults);
    source.GetAndFill("35");
    ASSERT_FALSE(subresults.Address().Number().isEmpty());
    const QString entry = subresults.Address().Number();
    EXPECT_EQ(subresults.Address().FullIens(), entry + ",35,");
    const QString text = explanation.text();
    Expect(K::Confirmation, "Delete Subresult: " + text + "?\r\n", ui::mrYes);
    Expect(K::Information, "Deleted: Subresult: " + text + "\r\n");
    const auto calls = SentBy([&] { EXPECT_TRUE(subresults.Delete()); });
    const auto filer = test::FirstNamed(calls, "DDR FILER");
    ASSERT_NE(filer, calls.end());
    EXPECT_EQ(filer->Literal(0), "DELETE");
    EXPECT_EQ(filer->Entry("1", 1), ("80001.02^.01^" + entry + ",35^@").toStdString());
    EXPECT_EQ(test::FirstNamed(calls, "VRNX RECORD POINTER CHECK"), calls.end());
    EXPECT_NE(subresults.Address().Number(), entry) << "the detail moved on";
}

TEST_F(Deletion, PointersThatForbidItAreReportedAndARecordBeingEditedIsUnlockedFirst) {
    source.GetAndFill("1");
    // Six results and two departmental tests point at HB: each file with its count, the first
    // two records of each, and how many more there are.
    Expect(K::Warning,
           "Error in deleting! The following files have pointers to the current record: "
           "DEMO LAB RESULT (file 80005), field LAB TEST (required): 6 records\r\n"
           "   NIEMI,VEIKKO HB SEP 22, 2023\r\n"
           "   HEIKKILA,MARJA HB OCT 24, 2023\r\n"
           "   ... and 4 more\r\n"
           "DEMO DEPARTMENTAL LAB TEST (file 80006), field LAB TEST (required): 2 records\r\n"
           "   MEDICAL WARD 2 HB\r\n"
           "   OUTPATIENT CLINIC HB\r\n");
    EXPECT_FALSE(source.Delete());
    EXPECT_TRUE(source.GetAndFill("1"));
    SaveNewLabTest("ZZ7");
    name.Change("Edited", "Edited");
    ASSERT_TRUE(Core().Owners().locker.Locked());
    Expect(K::Confirmation, "Delete Demo Lab Test: ZZ7 To delete?\r\n", ui::mrYes);
    Expect(K::Information, "Deleted: Demo Lab Test: ZZ7\r\n");
    const auto calls = SentBy([&] { EXPECT_TRUE(source.Delete()); });
    EXPECT_FALSE(Core().Owners().locker.Locked());
    const auto unlock = test::FirstNamed(calls, "VRNX LOCKS");
    ASSERT_NE(unlock, calls.end());
    EXPECT_EQ(unlock->Entry("\"ACT\""), "UNLOCK");
    EXPECT_EQ(std::next(unlock)->name, "VRNX RECORD DELETE");
}

TEST_F(Deletion, PointersThatAllowItAreReportedWithOneTimedQuestionOnly) {
    TvornSource persons;
    persons.setObjectName("vornSource2");
    persons.FileName = "Demo Person";
    persons.FileNumber = "80000";
    persons.ShowMessages = false;
    test::FakeBoundControl personName(persons, ".01", &form);
    Open(persons);
    persons.Insert();
    personName.Change("NEWMAN,NOAH", "NEWMAN,NOAH");
    ASSERT_TRUE(persons.SaveAs());
    source.ShowMessages = false;
    source.GetAndFill("1");
    ASSERT_TRUE(source.SetFieldValue("7", "NEWMAN,NOAH"));
    ASSERT_TRUE(source.Save());
    persons.ShowMessages = true;
    modal.OnForm<TTimedDlg>([&](TTimedDlg& d) {
        EXPECT_EQ(d.RichEdit1->toPlainText(),
                  test::ShownToolsetText("DEMO LAB TEST (file 80001), field PERSON IN CHARGE: 1 "
                                         "record\r\n   HB Hemoglobin\r\nDelete record anyway?"));
        EXPECT_TRUE(d.Timer1->Enabled()) << "a 30-second countdown";
        EXPECT_EQ(d.SecondsLeft(), 30);
        d.done(ui::mrYes);
    });
    Expect(K::Information, "Deleted: Demo Person: NEWMAN,NOAH\r\n");
    EXPECT_TRUE(persons.Delete());
    source.GetAndFill("1");
    EXPECT_EQ(source.GetFieldValue("7"), "") << "the pointer to the deleted person is cleared";
}

}  // namespace
}  // namespace vorn
