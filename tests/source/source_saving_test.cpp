// Saving changes and new records, the questions and reports around them, required fields,
// and what is kept when a save fails or the link dies.
#include <gtest/gtest.h>

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
    test::ExpectToolsetMessage(modal, K::Information, "Saved: Demo Lab Test: HB Haemoglobin\r\n");
    const Calls calls = CallsOf([&] {
        name.Change("Haemoglobin", "Haemoglobin");
        source.ValidateField("2", "Haemoglobin");
        EXPECT_TRUE(source.Save());
    });
    EXPECT_EQ(calls, (Calls{"VRNX LOCKS", "DDR GETS ENTRY DATA", "DDR VALIDATOR", "DDR FILER",
                            "DDR GETS ENTRY DATA", "DDR LISTER", "DDR LISTER", "VRNX IDENTIFIERS",
                            "VRNX DIALOG", "VRNX IDENTIFIERS", "VRNX LOCKS"}));
    const std::vector<test::LoggedCall> sent = CallsSince(CallMark() - calls.size());
    EXPECT_EQ(sent[0].Entry("\"ACT\""), "LOCK");
    EXPECT_EQ(sent[3].Literal(0), "EDIT");
    EXPECT_EQ(sent[3].Entry("1", 1), "80001^2^1^Haemoglobin");
    EXPECT_FALSE(sent[3].Entry("2", 1)) << "only the changed field is filed";
    EXPECT_EQ(sent[10].Entry("\"ACT\""), "UNLOCK");
    EXPECT_EQ(source.State(), ssBrowse);
    EXPECT_FALSE(source.Locked());
}

TEST_F(Saving, ANewRecordFilesItsFieldsWithAGapForAnEmptyOneAndTakesItsNewNumber) {
    NewLabTest("ZZ1");
    test::ExpectToolsetMessage(modal, K::Information, "Saved new: Demo Lab Test: ZZ1 New test\r\n");
    const std::size_t mark = CallMark();
    ASSERT_TRUE(source.SaveAs());
    EXPECT_EQ(CallNamesSince(mark),
              (Calls{"DDR FILER", "DDR GETS ENTRY DATA", "DDR LISTER", "DDR LISTER",
                     "VRNX IDENTIFIERS", "VRNX DIALOG", "VRNX IDENTIFIERS"}));
    const test::LoggedCall filer = CallsSince(mark)[0];
    EXPECT_EQ(filer.Literal(0), "ADD");
    EXPECT_EQ(filer.Entry("1", 1), "80001^.01^+1^ZZ1");
    EXPECT_EQ(filer.Entry("2", 1), "80001^2^+1^New test");
    EXPECT_FALSE(filer.Entry("3", 1)) << "the empty date keeps its number unused";
    EXPECT_EQ(filer.Entry("4", 1), "80001^6^+1^5");
    EXPECT_EQ(source.Iens(), "41,");
    EXPECT_EQ(source.State(), ssBrowse);
    EXPECT_EQ(abbreviation.text(), "ZZ1");
}

TEST_F(Saving, SaveAsOfAStoredRecordFilesACopy) {
    source.GetAndFill("1");
    abbreviation.Change("HB2", "HB2");
    modal.OnForm<TTimedDlg>([](TTimedDlg& d) { d.done(ui::mrOk); });
    ASSERT_TRUE(source.SaveAs());
    EXPECT_EQ(source.Iens(), "41,");
    EXPECT_EQ(name.text(), "Hemoglobin");
    source.GetAndFill("1");
    EXPECT_EQ(abbreviation.text(), "HB") << "the stored record stays as it was";
}

TEST_F(Saving, AMissingRequiredFieldStopsTheSaveWithoutACall) {
    source.Insert();
    abbreviation.Change("ZZ2", "ZZ2");
    test::ExpectToolsetMessage(modal, K::Error, "Required field (Field 2) is missing!");
    const std::size_t mark = CallMark();
    EXPECT_FALSE(source.SaveAs());
    EXPECT_EQ(CallNamesSince(mark), (Calls{"VRNX DIALOG"})) << "only the message's text";
    EXPECT_EQ(source.State(), ssNew);
}

struct Question {
    const char* name;
    bool confirm;  // ConfirmChange or ConfirmInsert in the source
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
    test::ExpectToolsetMessage(modal, K::Confirmation, q.text, ui::mrCancel);
    EXPECT_FALSE(q.newRecord ? source.SaveAs() : source.Save());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Questions,
    ::testing::Values(
        Question{"ChangeOfTheNamingField", true, false, true,
                 "Do you want to change the value for Demo Lab Test: Field .01 into \"HBX\" and "
                 "save the changes?"},
        Question{"ChangeOfAnotherField", true, false, false,
                 "Save changes to Demo Lab Test\r\nHB Hemoglobin?"},
        Question{"NewRecord", true, true, false, "Save new Demo Lab Test: ZZ3\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// A refused save says so and keeps the record's lock: another user cannot change the record in
// between (and reads it again) and have the next try overwrite that change.
TEST_F(Saving, ARefusedSaveSaysSoAndKeepsTheLockUntilTheSaveSucceeds) {
    source.GetAndFill("1");
    length.Change("abc", "abc");
    test::ExpectToolsetMessage(modal, K::Information, "Error in saving!");
    EXPECT_FALSE(source.Save());
    EXPECT_EQ(source.State(), ssEdit);
    EXPECT_TRUE(source.Locked());

    TvornSource other;
    other.setObjectName("otherSource");
    test::FakeBoundControl otherName(other, "2", &form);
    other.FileNumber = "80001";
    other.SetRPCBroker(&SecondBroker());
    other.Open();
    other.GetAndFill("1");
    test::ExpectToolsetMessage(modal, K::Error,
                               "The record is being modified by someone else! Try again later.");
    const std::size_t mark = CallMark();
    otherName.Change("Overwritten", "Overwritten");
    EXPECT_EQ(CallNamesSince(mark), (Calls{"VRNX LOCKS", "VRNX DIALOG", "DDR GETS ENTRY DATA"}));
    EXPECT_EQ(other.State(), ssBrowse);
    EXPECT_EQ(otherName.text(), "Hemoglobin") << "the other user reads the record again";

    length.Change("7", "7");
    test::ExpectToolsetMessage(modal, K::Information, "Saved: Demo Lab Test: HB Hemoglobin\r\n");
    EXPECT_TRUE(source.Save());
    EXPECT_FALSE(source.Locked());
    otherName.Change("Changed after", "Changed after");
    EXPECT_EQ(other.State(), ssEdit);

    // A new record refused says so, too.
    NewLabTest("ZZ4");
    length.Change("abc", "abc");
    test::ExpectToolsetMessage(modal, K::Information, "Error in saving new record!");
    EXPECT_FALSE(source.SaveAs());
    EXPECT_EQ(source.State(), ssNew);
    EXPECT_EQ(abbreviation.text(), "ZZ4");
}

struct LeaveCase {
    const char* name;
    bool showMessages;
    int answer;
    bool result;
    TvornSourceState after;
    const char* nameAfter;
};

class LeavingChanges : public Saving, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeavingChanges, AreSavedThrownAwayOrKeptAsTheUserAnswers) {
    const LeaveCase& c = GetParam();
    source.ShowMessages = c.showMessages;
    source.GetAndFill("1");
    name.Change("Haemoglobin", "Haemoglobin");
    if (c.showMessages) {
        test::ExpectToolsetMessage(modal, K::Confirmation,
                                   "Save  Demo Lab Test: HB Hemoglobin?\r\n", c.answer);
        if (c.answer == ui::mrYes)
            test::ExpectToolsetMessage(modal, K::Information,
                                       "Saved: Demo Lab Test: HB Haemoglobin\r\n");
    }
    EXPECT_EQ(source.CheckSaveChanges(), c.result);
    EXPECT_EQ(source.State(), c.after);
    EXPECT_EQ(name.text(), c.nameAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LeavingChanges,
    ::testing::Values(LeaveCase{"Yes", true, ui::mrYes, true, ssBrowse, "Haemoglobin"},
                      LeaveCase{"No", true, ui::mrNo, true, ssBrowse, "Hemoglobin"},
                      LeaveCase{"Cancel", true, ui::mrCancel, false, ssEdit, "Haemoglobin"},
                      LeaveCase{"WithoutMessages", false, 0, true, ssBrowse, "Hemoglobin"}),
    [](const auto& info) { return std::string(info.param.name); });

// The server dies between the lock and the filing: the user's edits stay, and once the server
// is back (the same database) the next Save reconnects, takes the lock again and files them.
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
    EXPECT_FALSE(source.Saving());
    EXPECT_EQ(name.text(), "Kept through a crash");
    EXPECT_EQ(source.ChangedControls().size(), 1);

    Server().Start();
    test::ExpectToolsetMessage(modal, K::Information,
                               "Saved: Demo Lab Test: HB Kept through a crash\r\n");
    const std::size_t mark = CallMark();
    EXPECT_TRUE(source.Save());
    const Calls after = CallNamesSince(mark);
    ASSERT_GE(after.size(), 6u);
    EXPECT_EQ(Calls(after.begin(), after.begin() + 6),
              (Calls{"XUS SIGNON SETUP", "XUS AV CODE", "XWB CREATE CONTEXT", "VRNX LOCKS",
                     "DDR FILER", "DDR GETS ENTRY DATA"}));
    source.GetAndFill("2");
    source.GetAndFill("1");
    EXPECT_EQ(name.text(), "Kept through a crash");
}

}  // namespace
}  // namespace vorn
