// The lock a source holds while a record is changed, the lock timer, and deletion.
#include <gtest/gtest.h>

#include "broker/rpc_broker.h"
#include "source/source_requests.h"
#include "source/timed_dialog.h"

#include <QTextEdit>
#include "tests/source/lab_test_source.h"

namespace vorn {
namespace {

using test::Calls;
using K = ui::MessageKind;

const QString kBusy =
    QStringLiteral("The record is being modified by someone else! Try again later.");

// A second user on record `record`, with a source of their own and no messages.
class OtherUser {
  public:
    OtherUser(TRPCBroker& broker, QWidget& form) : name(source, "2", &form) {
        source.setObjectName("otherSource");
        source.FileNumber = "80001";
        source.ShowMessages = false;
        source.SetRPCBroker(&broker);
        source.Open();
    }
    TvornSource source;
    test::FakeBoundControl name;
};

class Locking : public test::LabTestSource {
  protected:
    void SetUp() override { Open(); }
    // The other user tries to start an edit of `record`; true when they got the lock.
    bool OtherLocks(OtherUser& other, const char* record) {
        other.source.GetAndFill(record);
        other.name.Change("Other's change", "Other's change");
        const bool locked = other.source.State() == ssEdit;
        if (locked) other.source.Cancel();
        return locked;
    }
};

struct Release {
    const char* name;
    std::function<void(test::LabTestSource&, TvornSource&, test::ScriptedModalHost&)> act;
};

class LockRelease : public Locking, public ::testing::WithParamInterface<Release> {};

TEST_P(LockRelease, LetsTheOtherUserLockTheRecord) {
    OtherUser other(SecondBroker(), form);
    source.GetAndFill("1");
    name.Change("Mine", "Mine");
    EXPECT_FALSE(OtherLocks(other, "1"));
    GetParam().act(*this, source, modal);
    EXPECT_FALSE(source.Locked());
    EXPECT_TRUE(OtherLocks(other, "1"));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, LockRelease,
    ::testing::Values(Release{"Save",
                              [](auto&, TvornSource& s, test::ScriptedModalHost& m) {
                                  test::ExpectToolsetMessage(m, K::Information,
                                                             "Saved: Demo Lab Test: HB Mine\r\n");
                                  s.Save();
                              }},
                      Release{"Cancel", [](auto&, TvornSource& s, auto&) { s.Cancel(); }},
                      Release{"Close", [](auto&, TvornSource& s, auto&) { s.Close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Locking, ARecordChangedByAnotherUserSinceItWasReadIsReadAgainWhenTheEditStarts) {
    source.GetAndFill("1");
    OtherUser other(SecondBroker(), form);
    other.source.GetAndFill("1");
    other.name.Change("Changed meanwhile", "Changed meanwhile");
    ASSERT_TRUE(other.source.Save());
    test::ExpectToolsetMessage(modal, K::Information,
                               "The record has changed! Retrieving record again.");
    name.Change("Mine", "Mine");
    EXPECT_EQ(source.State(), ssBrowse);
    EXPECT_EQ(name.text(), "Changed meanwhile");
    EXPECT_FALSE(source.Locked());
}

TEST_F(Locking, WithoutATimeOutTheTimerNeverStarts) {
    source.LockTimeOut = 0;
    source.GetAndFill("1");
    name.Change("Mine", "Mine");
    EXPECT_TRUE(source.Locked());
    EXPECT_FALSE(source.LockTimer().Enabled());
}

struct TimeOutAnswer {
    const char* name;
    int answer;
    TvornSourceState after;
    const char* nameAfter;
    bool timerAfter;
};

class LockTimer : public Locking, public ::testing::WithParamInterface<TimeOutAnswer> {};

TEST_P(LockTimer, AsksAfterTheMinutesAndDoesWhatTheUserAnswers) {
    const TimeOutAnswer& c = GetParam();
    source.LockTimeOut = 5;
    source.GetAndFill("1");
    name.Change("Mine", "Mine");
    auto& timer = static_cast<test::FakeTimer&>(source.LockTimer());
    ASSERT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 60000);
    for (int minute = 1; minute < 5; ++minute)
        timer.Fire();
    EXPECT_EQ(source.LockMinutesLeft(), 1);
    modal.OnForm<TTimedDlg>([&c](TTimedDlg& d) {
        EXPECT_EQ(d.RichEdit1->toPlainText(),
                  "The record has been locked for 5 minutes. Save changes or ignore and "
                  "continue modifying record?");
        EXPECT_EQ(d.Timer1->Enabled(), true) << "a 60-second countdown";
        d.done(c.answer);
    });
    if (c.answer == ui::mrYes) {
        test::ExpectToolsetMessage(modal, K::Information, "Saved: Demo Lab Test: HB Mine\r\n");
    }
    if (c.answer == ui::mrNone) {
        test::ExpectToolsetMessage(modal, K::Information,
                                   "Changes cancelled due to database lock timeout.");
    }
    timer.Fire();
    EXPECT_EQ(source.State(), c.after);
    EXPECT_EQ(name.text(), c.nameAfter);
    EXPECT_EQ(timer.Enabled(), c.timerAfter);
    if (c.timerAfter) {
        EXPECT_EQ(source.LockMinutesLeft(), 5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LockTimer,
    ::testing::Values(TimeOutAnswer{"Yes", ui::mrYes, ssBrowse, "Mine", false},
                      TimeOutAnswer{"No", ui::mrNo, ssBrowse, "Hemoglobin", false},
                      TimeOutAnswer{"Ignore", ui::mrIgnore, ssEdit, "Mine", true},
                      TimeOutAnswer{"NoAnswer", ui::mrNone, ssBrowse, "Hemoglobin", false}),
    [](const auto& info) { return std::string(info.param.name); });

class Deletion : public Locking {
  protected:
    // A new lab test nothing points to.
    void NewLabTest(const QString& text) {
        source.ShowMessages = false;
        source.Insert();
        abbreviation.Change(text, text);
        name.Change("To delete", "To delete");
        ASSERT_TRUE(source.SaveAs());
        source.ShowMessages = true;
    }
};

TEST_F(Deletion, PointersThatForbidItAreReportedAndNothingIsDeleted) {
    source.GetAndFill("1");
    const RpcReply report = Broker().Call(requests::PointerCheck("80001", "1", 6, 2, 6));
    QString text = QStringLiteral(
        "Error in deleting! The following files have pointers to the current record: ");
    for (const QString& line : requests::PointerReport(report, 2))
        text += line + QStringLiteral("\r\n");
    test::ExpectToolsetMessage(modal, K::Warning, text);
    EXPECT_FALSE(source.Delete());
    EXPECT_TRUE(text.contains("DEMO LAB RESULT"));
    EXPECT_TRUE(source.GetAndFill("1"));
}

TEST_F(Deletion, ARefusalOfTheServerIsNotReportedAsDeleted) {
    NewLabTest("ZZ6");
    OtherUser other(SecondBroker(), form);
    other.source.GetAndFill("41");
    other.name.Change("Held", "Held");
    ASSERT_TRUE(other.source.Locked());
    test::ExpectToolsetMessage(modal, K::Confirmation, "Delete Demo Lab Test: ZZ6 To delete?\r\n",
                               ui::mrYes);
    test::ExpectToolsetMessage(modal, K::Information, "Error in deleting record!");
    EXPECT_FALSE(source.Delete());
    EXPECT_EQ(source.Iens(), "41,");
    EXPECT_EQ(abbreviation.text(), "ZZ6");
}

TEST_F(Deletion, DeletingARecordBeingEditedReleasesItsLockFirst) {
    NewLabTest("ZZ7");
    name.Change("Edited", "Edited");
    ASSERT_TRUE(source.Locked());
    test::ExpectToolsetMessage(modal, K::Confirmation, "Delete Demo Lab Test: ZZ7 To delete?\r\n",
                               ui::mrYes);
    test::ExpectToolsetMessage(modal, K::Information, "Deleted: Demo Lab Test: ZZ7\r\n");
    const std::size_t mark = CallMark();
    EXPECT_TRUE(source.Delete());
    EXPECT_FALSE(source.Locked());
    const auto calls = CallsSince(mark);
    const auto unlock = std::find_if(calls.begin(), calls.end(),
                                     [](const auto& c) { return c.name == "VRNX LOCKS"; });
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
    persons.SetRPCBroker(&Broker());
    persons.Open();
    persons.Insert();
    personName.Change("NEWMAN,NOAH", "NEWMAN,NOAH");
    ASSERT_TRUE(persons.SaveAs());
    const QString person = persons.RecordNumber();
    source.ShowMessages = false;
    source.GetAndFill("1");
    ASSERT_TRUE(source.SetFieldValue("7", "NEWMAN,NOAH"));
    ASSERT_TRUE(source.Save());

    persons.ShowMessages = true;
    const RpcReply report = Broker().Call(requests::PointerCheck("80000", person, 6, 2, 6));
    ASSERT_TRUE(requests::ReadDeletionAllowed(report));
    QString text;
    for (const QString& line : requests::PointerReport(report, 3))
        text += line + QStringLiteral("\r\n");
    EXPECT_TRUE(text.contains("DEMO LAB TEST")) << text.toStdString();
    modal.OnForm<TTimedDlg>([&](TTimedDlg& d) {
        EXPECT_EQ(d.RichEdit1->toPlainText(),
                  test::ShownToolsetText(text + QStringLiteral("Delete record anyway?")));
        EXPECT_TRUE(d.Timer1->Enabled()) << "a 30-second countdown";
        EXPECT_EQ(d.SecondsLeft(), 30);
        d.done(ui::mrYes);
    });
    test::ExpectToolsetMessage(modal, K::Information, "Deleted: Demo Person: NEWMAN,NOAH\r\n");
    EXPECT_TRUE(persons.Delete());
    source.GetAndFill("1");
    EXPECT_EQ(source.GetFieldValue("7"), "") << "the pointer to the deleted person is cleared";
}

TEST_F(Deletion, AnEntryOfAHierarchicalSubFileIsDeletedThroughTheFilerWithoutAPointerCheck) {
    TvornSource subresults;
    subresults.setObjectName("vornSource3");
    subresults.FileName = "Subresult";
    subresults.FileNumber = "80001.02";
    subresults.TypeIfSubFile = TvornSubFileType::Hierarchical;
    subresults.SetMasterSource(&source);
    test::FakeBoundControl explanation(subresults, ".01", &form);
    subresults.SetRPCBroker(&Broker());
    subresults.Loaded();
    subresults.Open();
    source.GetAndFill("35");
    ASSERT_FALSE(subresults.RecordNumber().isEmpty());
    const QString entry = subresults.RecordNumber();
    EXPECT_EQ(subresults.FullIens(), entry + ",35,");
    const QString text = explanation.text();
    test::ExpectToolsetMessage(modal, K::Confirmation, "Delete Subresult: " + text + "?\r\n",
                               ui::mrYes);
    test::ExpectToolsetMessage(modal, K::Information, "Deleted: Subresult: " + text + "\r\n");
    const std::size_t mark = CallMark();
    EXPECT_TRUE(subresults.Delete());
    const auto calls = CallsSince(mark);
    const auto filer = std::find_if(calls.begin(), calls.end(),
                                    [](const auto& c) { return c.name == "DDR FILER"; });
    ASSERT_NE(filer, calls.end());
    EXPECT_EQ(filer->Literal(0), "DELETE");
    EXPECT_EQ(filer->Entry("1", 1), ("80001.02^.01^" + entry + ",35^@").toStdString());
    for (const auto& c : calls)
        EXPECT_NE(c.name, "VRNX RECORD POINTER CHECK");
    EXPECT_NE(subresults.RecordNumber(), entry) << "the detail moved on";
}

}  // namespace
}  // namespace vorn
