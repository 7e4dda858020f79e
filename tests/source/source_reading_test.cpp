// Opening a data source: file access, its messages, the registry, and validation with its
// events; and both when the server dies part-way. Reading records, browsing the file along its
// index (and a logical detail along its master's record), the history of visited records, and
// word-processing texts short and long.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

#include "broker/internal/broker_link.h"
#include "broker/internal/clock.h"
#include "tests/source/lab_test_source.h"
#include "tests/support/departmental_detail.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

using test::Calls;
using K = ui::MessageKind;

class Activation : public test::LabTestSource {};

TEST_F(Activation, AReaderKeepsReadAndBrowseButLosesWriteInsertAndDeleteWhateverTheFormSets) {
    source.SetUserAccess(kAllAccess);
    Open(&SecondBroker(test::kReaderCodes));
    EXPECT_EQ(source.UserAccess(), TvornUserAccess(uaRead | uaBrowse));
    EXPECT_EQ(Core().Grant().access, TvornUserAccess(uaRead | uaBrowse));
    source.SetUserAccess(kAllAccess);
    EXPECT_EQ(source.UserAccess(), TvornUserAccess(uaRead | uaBrowse)) << "narrowed at run time";
    EXPECT_EQ(Core().Grant().userData, "READER,USER");
}

TEST_F(Activation, TheServersAccessCodesAreAskedOnlyWhenTheFormUsesThem) {
    Broker();
    EXPECT_EQ(CallsOf([&] { Open(); }), Calls{"VRNX DDU FILE ACCESS"});
    TvornSource other;
    other.FileNumber = "80001";
    other.FMAccessUsed = false;
    EXPECT_EQ(CallsOf([&] { Open(other); }), Calls{"VRNX USERDATA"});
    EXPECT_EQ(other.UserAccess(), kAllAccess);
    EXPECT_EQ(other.State(), ssEmpty);
}

// A control registered twice is one entry, and two controls on one field share its field. A
// master must be another data source.
TEST_F(Activation, AControlIsRegisteredOnceAndAMissingFileNumberBrokerOrMasterIsSaid) {
    source.RegisterControl(&name, "2");
    test::FakeBoundControl sameField(source, "2", &form);
    EXPECT_EQ(Core().Registry().Controls().size(), 6);
    EXPECT_EQ(Core().Registry().Fields(), (QStringList{".01", "2", "4", "6", "100"}));
    TvornSource master;
    source.SetMasterSource(&master);
    Expect(K::Error, "Component is not valid TvornSource component!");
    source.SetMasterSource(&form);
    EXPECT_EQ(Core().Master(), &master);
    Expect(K::Error, "Component can't be both master and detail!");
    source.SetMasterSource(&source);
    EXPECT_EQ(Core().Master(), nullptr);
    source.FileNumber.clear();
    Expect(K::Error, "vornSource1's filenumber not defined!");
    Open();
    source.FileNumber = "80001";
    source.SetRPCBroker(nullptr);
    Expect(K::Error, "vornSource1 not linked to RPC Broker-component!");
    source.Open();
    EXPECT_FALSE(source.Active());
    EXPECT_EQ(source.State(), ssInactive);
}

// The internal and external value of a validation.
QStringList Values(const ValidatedValue& answer) {
    return {answer.internal, answer.external};
}

using Validation = test::LabTestSource;

// The server's internal and external values are the answer. A veto makes the value valid with an
// empty internal value, and no call; the events may change the field, the value and the result.
TEST_F(Validation, TheServersValuesAreTheAnswerAndTheEventsMayVetoOrChangeIt) {
    Open();
    source.Insert();
    ValidatedValue answer;
    const auto sent = SentBy(
        [&] { EXPECT_TRUE((answer = Core().Operations().Validate("4", "12/6/2026")).valid); });
    EXPECT_EQ(test::Names(sent), Calls{"DDR VALIDATOR"});
    EXPECT_EQ(sent.at(0).Entry("\"IENS\""), "+1,");
    EXPECT_EQ(Values(answer), (QStringList{"3261206", "DEC 6, 2026"}));
    EXPECT_FALSE((answer = Core().Operations().Validate("4", "not a date")).valid);
    EXPECT_EQ(Values(answer), (QStringList{"", ""}));
    EXPECT_EQ(test::Outcome(source), std::pair(SourceOperation::Validate, SourceOutcome::Refused));
    EXPECT_FALSE(source.LastOutcome().lines.isEmpty()) << "the validator's reasons";
    source.BeforeValidateField = [](QObject*, bool& allow, QString&, QString&) { allow = false; };
    EXPECT_EQ(CallsOf([&] {
                  EXPECT_TRUE((answer = Core().Operations().Validate("4", "whatever")).valid);
              }),
              Calls{});
    EXPECT_EQ(Values(answer), (QStringList{"", "whatever"}));
    source.BeforeValidateField = [](QObject*, bool&, QString& field, QString& value) {
        field = "6";
        value = "12";
    };
    QString seen;
    source.AfterValidateField = [&](QObject*, bool& result, const QString& field, QString& internal,
                                    QString& external) {
        seen = field + u'=' + internal;
        result = false;
        external = "refused here";
    };
    const test::LoggedCall changed =
        SentBy([&] { answer = Core().Operations().Validate("4", "12/6/2026"); }).at(0);
    EXPECT_FALSE(answer.valid);
    EXPECT_EQ(seen, "6=12");
    EXPECT_EQ(Values(answer), (QStringList{"12", "refused here"}));
    EXPECT_EQ(changed.Entry("\"FIELD\""), "6");
    EXPECT_EQ(changed.Entry("\"VALUE\""), "12");
}

// The client's clock for the killed-server tests. It stands still, so no call is cut off by
// its time limit, and it counts how often it is asked: a call asks once when it starts and
// then once after each slice of its wait for the answer.
class AskedClock final : public Clock {
  public:
    double Now() const override {
        ++asked;
        return 1000.0;
    }
    mutable std::atomic<long> asked = 0;
};

// What the kernel holds for the server on its end of `link` and has not handed over yet,
// from /proc/net/tcp; -1 when that end is not found.
long ServerUnread(const BrokerLink& link) {
    net::Endpoint server, client;
    if (!link.socket.PeerEndpoint(server) || !link.socket.LocalEndpoint(client)) return -1;
    auto hex = [](const net::Endpoint& e) {
        return QString::asprintf("%08X:%04X", unsigned(e.address), unsigned(e.port)).toStdString();
    };
    std::ifstream table("/proc/net/tcp");
    std::string line;  // the heading matches no end
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues;
        fields >> slot >> local >> remote >> state >> queues;
        if (local == hex(server) && remote == hex(client))
            return std::stol(queues.substr(queues.find(':') + 1), nullptr, 16);
    }
    return -1;
}

// The server dies while a call waits for its answer (every answer takes 300 ms), killed when
// the server has taken the whole call and the client waits; once it is back, the same action
// works.
class KilledServer : public test::LabTestSource {
  protected:
    KilledServer() : LabTestSource({.latencyMs = 300, .extraArguments = {}}) {}
    ~KilledServer() override { SetClock(nullptr); }

    // Runs `action` through the guarded path of event handlers while the server is killed.
    void KilledDuring(const std::function<void()>& action) {
        const BrokerLink* link = Broker().Link();
        ASSERT_NE(link, nullptr);
        SetClock(&clock);
        const long asked = clock.asked;
        std::thread killer([&] {
            // A call started, and a slice of its wait went by without an answer (within seconds,
            // or the action made no call).
            for (int i = 0; i < 30000 && clock.asked < asked + 2; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            EXPECT_GE(clock.asked.load(), asked + 2) << "no call waited for its answer";
            long unread = ServerUnread(*link);
            for (int i = 0; i < 100000 && unread != 0; ++i, unread = ServerUnread(*link))
                std::this_thread::yield();
            EXPECT_EQ(unread, 0) << "the server did not take the call";
            Server().Kill();
        });
        modal.OnMessage([](const ui::MessageRequest& r) {
            EXPECT_EQ(r.kind, ui::MessageKind::Error);
            EXPECT_EQ(
                r.text.toStdString(),
                "Error encountered.\nFunction was: connection lost\nError was: WSAECONNRESET");
            return int(ui::mrOk);
        });
        EXPECT_FALSE(ui::Guarded(action));
        killer.join();
        SetClock(nullptr);
        Server().Start();
    }

    AskedClock clock;
};

TEST_F(KilledServer, AnActivationOrAValidationCutShortWorksWhenTheServerIsBack) {
    source.SetRPCBroker(&Broker());
    static_cast<ui::LoadedComponent&>(source).Loaded();
    KilledDuring([&] { source.Open(); });
    EXPECT_FALSE(source.Active());
    EXPECT_EQ(source.State(), ssInactive);
    EXPECT_EQ(source.UserAccess(), kAllAccess);
    source.Open();
    EXPECT_TRUE(source.Active());
    EXPECT_EQ(source.State(), ssEmpty);
    // A validation cut short leaves no flag.
    source.Insert();
    KilledDuring([&] { source.ValidateField("4", "12/6/2026"); });
    EXPECT_FALSE(Core().Owners().saver.Validating());
    EXPECT_EQ(source.State(), ssNew);
    const ValidatedValue answer = Core().Operations().Validate("4", "12/6/2026");
    EXPECT_TRUE(answer.valid);
    EXPECT_EQ(Values(answer), (QStringList{"3261206", "DEC 6, 2026"}));
}

class Reading : public test::LabTestSource {
  protected:
    void SetUp() override { Open(); }
};

TEST_F(Reading, ARecordIsReadWithEveryFieldOfTheFormOnceAndTheTwoEndsAreAsked) {
    const auto sent = SentBy([&] { ASSERT_TRUE(source.GetAndFill("1")); });
    EXPECT_EQ(test::Names(sent), (Calls{"DDR GETS ENTRY DATA", "DDR LISTER", "DDR LISTER"}));
    EXPECT_EQ(test::ListOf(sent.at(0)),
              "\"FILE\"=80001 \"FIELDS\"=.01;2;4;6;100; \"IENS\"=1, \"FLAGS\"=IE");
    EXPECT_EQ(source.Address().Iens(), "1,");
    EXPECT_EQ(source.State(), ssBrowse);
    EXPECT_EQ(abbreviation.text(), "HB");
    EXPECT_EQ(name.text(), "Hemoglobin");
    EXPECT_EQ(introduced.internalValue, "3100101");
    EXPECT_EQ(Core().Owners().navigator.IndexValue(), "HB");
    EXPECT_FALSE(Core().Owners().navigator.AtFirst());
    EXPECT_TRUE(next.isEnabled() && prior.isEnabled());
}

TEST_F(Reading, MovingAsksTheListerFromTheCurrentRecordFallsBackAtTheEndsAndEmptiesWhenNone) {
    source.GetAndFill("1");
    const auto sent = SentBy([&] { ASSERT_TRUE(source.Next()); });
    EXPECT_EQ(test::Names(sent),
              (Calls{"DDR LISTER", "DDR GETS ENTRY DATA", "DDR LISTER", "DDR LISTER"}));
    EXPECT_EQ(test::ListOf(sent.at(0)),
              "\"FILE\"=80001 \"FIELDS\"=.001 \"MAX\"=1 \"XREF\"=B \"FROM\"=HB \"FROM\",\"IEN\"=1");
    EXPECT_EQ(abbreviation.text(), "HBA1C");
    ASSERT_TRUE(source.Prior());
    EXPECT_EQ(abbreviation.text(), "HB");
    // Next on the last and Prior on the first record fall back and show it again.
    ASSERT_TRUE(source.Last());
    const QString lastOne = abbreviation.text();
    EXPECT_TRUE(Core().Owners().navigator.AtLast());
    EXPECT_FALSE(next.isEnabled());
    const auto atEnd = SentBy([&] { EXPECT_TRUE(source.Next()); });
    EXPECT_EQ(test::Names(atEnd), (Calls{"DDR LISTER", "DDR LISTER", "DDR GETS ENTRY DATA",
                                         "DDR LISTER", "DDR LISTER"}));
    EXPECT_EQ(atEnd.at(1).Entry("\"FLAGS\""), "B");
    EXPECT_EQ(abbreviation.text(), lastOne);
    ASSERT_TRUE(source.First());
    EXPECT_EQ(abbreviation.text(), "ALB");
    EXPECT_TRUE(Core().Owners().navigator.AtFirst());
    EXPECT_FALSE(first.isEnabled() || prior.isEnabled());
    EXPECT_TRUE(source.Prior());
    EXPECT_EQ(abbreviation.text(), "ALB");
    // A missing record, and First and Last on an empty file, empty the form.
    EXPECT_FALSE(source.GetAndFill("999"));
    EXPECT_EQ(source.State(), ssEmpty);
    EXPECT_EQ(source.Address().Number(), "");
    EXPECT_EQ(abbreviation.text(), "");
    source.GetAndFill("1");
    source.FMScreen = "I 0";
    EXPECT_FALSE(source.First());
    EXPECT_EQ(abbreviation.text(), "");
    EXPECT_EQ(source.Address().Iens(), ",") << "no record has one spelling";
    EXPECT_EQ(source.State(), ssEmpty);
    source.GetAndFill("1");
    EXPECT_FALSE(source.Last());
    EXPECT_EQ(name.text(), "");
    EXPECT_TRUE(Core().Owners().navigator.RecordLines().isEmpty());
}

TEST_F(Reading, AVisitedRecordHeadsTheHistoryOnceAndAFieldNotOnTheFormIsReadOnItsOwn) {
    for (const char* record : {"1", "3", "5", "1"}) {
        source.GetAndFill(record);
        source.UpdateHistory();
    }
    ASSERT_EQ(Core().Owners().history.Entries().size(), 5);
    EXPECT_EQ(Core().Owners().history.Entries()[0].Iens, "1,");
    EXPECT_EQ(source.HistoryText(0), "HB Hemoglobin");
    EXPECT_EQ(Core().Owners().history.Entries()[1].Iens, "5,");
    EXPECT_EQ(Core().Owners().history.Entries()[2].Iens, "3,");
    EXPECT_EQ(source.HistoryText(3), "");
    source.GoToHistory(2);
    EXPECT_EQ(source.Address().Iens(), "3,");
    EXPECT_EQ(Core().Owners().history.Entries()[0].Iens, "3,");
    // A field the form does not carry is read on its own.
    source.GetAndFill("1");
    const auto calls = SentBy([&] {
        EXPECT_EQ(source.GetFieldText("7:2"), "FEB 10, 1953");
        EXPECT_EQ(source.GetFieldValue("2"), "Hemoglobin");
    });
    ASSERT_EQ(calls.size(), 1u) << "a field on the form is not read again";
    EXPECT_EQ(calls[0].Entry("\"FIELDS\""), "7:2;");
}

TEST_F(Reading, WordProcessingTextsOfThreeLinesAndOfAbout150KilobytesAreFiledAndReadBack) {
    source.GetAndFill("1");
    description.ChangeLines({"one", "", "three"});
    Expect(K::Information, "Saved: Demo Lab Test: HB Hemoglobin\r\n");
    const auto calls = SentBy([&] { ASSERT_TRUE(source.Save()); });
    const auto filer = test::FirstNamed(calls, "DDR FILER");
    ASSERT_NE(filer, calls.end());
    EXPECT_EQ(test::ListOf(*filer, 1), "1=80001^100^1^DDRROOT(1) 1,1=one 1,2=  1,3=three");
    EXPECT_EQ(description.lines, (QStringList{"one", "", "three"}));
    EXPECT_EQ(Core().Owners().navigator.RecordKeys().filter(QRegularExpression("^100")).size(), 5);
    // A text far longer than a message's five-digit count: the call goes out with its count
    // wrapped, the server reads it by its structure, and the text comes back whole.
    source.ShowMessages = false;
    source.GetAndFill("1");
    QStringList text;
    for (int i = 0; i < 2000; ++i)
        text.append(QStringLiteral("Line %1 of a long description, ").arg(i, 4, 10, QChar(u'0')) +
                    QString(40, u'x'));
    ASSERT_GT(text.join(QString()).size(), 140000);
    description.ChangeLines(text);
    const test::LoggedCall longFiler = SentBy([&] { ASSERT_TRUE(source.Save()); }).at(0);
    ASSERT_EQ(longFiler.name, "DDR FILER");
    EXPECT_EQ(longFiler.Entry("1,2000", 1), text.last().toStdString());
    description.lines.clear();
    source.GetAndFill("2");
    source.GetAndFill("1");
    EXPECT_EQ(description.lines, text);
}

// A logical detail (departmental lab tests, file 80006, pointing to the lab test by field 2)
// browses the records of its master's record through the link screen the server's location of
// the link field gives.
using LogicalDetail = test::LabTestSource;

TEST_F(LogicalDetail, BrowsesWithTheMastersRecordAndTheLinkScreen) {
    TvornSource detail;
    detail.setObjectName("vornSource2");
    detail.FileName = "Departmental lab test";
    test::MakeDepartmentalDetail(detail, source);
    test::FakeBoundControl ward{detail, ".01", &form};
    Open();
    Open(detail);
    EXPECT_EQ(detail.State(), ssNoMaster) << "the master shows no record yet";
    const auto calls = SentBy([&] { ASSERT_TRUE(source.GetAndFill("12")); });
    const auto location = test::FirstNamed(calls, "VRNX DDU LOCATION");
    ASSERT_NE(location, calls.end());
    EXPECT_EQ(test::ListOf(*location), "1=80006 2=2");
    EXPECT_EQ(std::next(location)->name, "DDR LISTER");
    EXPECT_EQ(test::ListOf(*std::next(location)),
              "\"FILE\"=80006 \"FIELDS\"=2 \"FLAGS\"=I \"MAX\"=1 \"PART\"=12 "
              "\"SCREEN\"=I 12=$P($G(^(0)),U,2) \"XREF\"=C");
    EXPECT_EQ(detail.State(), ssBrowse);
    EXPECT_EQ(detail.GetFieldValue("2"), "12") << "its first record points to the master's";
    source.Clear();
    EXPECT_EQ(detail.State(), ssNoMaster);
}

}  // namespace
}  // namespace vorn
