// Opening a data source: file access, its messages, the registry, and validation with its
// events; and both when the server dies part-way.
#include <gtest/gtest.h>

#include <thread>

#include "source/message_text.h"
#include "tests/source/lab_test_source.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

using test::Calls;

class Activation : public test::LabTestSource {};

TEST_F(Activation, AReaderKeepsReadAndBrowseButLosesWriteInsertAndDeleteWhateverTheFormSets) {
    source.SetUserAccess(kAllAccess);
    Open(&SecondBroker(test::kReaderCodes));
    EXPECT_EQ(source.UserAccess(), TvornUserAccess(uaRead | uaBrowse));
    EXPECT_EQ(source.EffectiveAccess(), TvornUserAccess(uaRead | uaBrowse));
    source.SetUserAccess(kAllAccess);
    EXPECT_EQ(source.UserAccess(), TvornUserAccess(uaRead | uaBrowse)) << "narrowed at run time";
    EXPECT_EQ(source.UserData(), "READER,USER");
}

TEST_F(Activation, TheServersAccessCodesAreAskedOnlyWhenTheFormUsesThem) {
    Broker();
    EXPECT_EQ(CallsOf([&] { Open(); }), Calls{"VRNX DDU FILE ACCESS"});
    TvornSource other;
    other.FileNumber = "80001";
    other.FMAccessUsed = false;
    other.SetRPCBroker(&Broker());
    EXPECT_EQ(CallsOf([&] { other.Open(); }), Calls{"VRNX USERDATA"});
    EXPECT_EQ(other.UserAccess(), kAllAccess);
    EXPECT_EQ(other.State(), ssEmpty);
}

TEST_F(Activation, AMissingFileNumberOrBrokerIsSaidAndTheSourceStaysInactive) {
    source.FileNumber.clear();
    test::ExpectToolsetMessage(modal, ui::MessageKind::Error,
                               "vornSource1's filenumber not defined!");
    Open();
    source.FileNumber = "80001";
    source.SetRPCBroker(nullptr);
    test::ExpectToolsetMessage(modal, ui::MessageKind::Error,
                               "vornSource1 not linked to RPC Broker-component!");
    source.Open();
    EXPECT_FALSE(source.Active());
    EXPECT_EQ(source.State(), ssInactive);
}

TEST_F(Activation, AControlRegisteredTwiceIsOneEntryAndTwoControlsOnOneFieldShareItsField) {
    source.RegisterControl(&name, "2");
    test::FakeBoundControl sameField(source, "2", &form);
    EXPECT_EQ(source.Controls().size(), 6);
    EXPECT_EQ(source.Fields(), (QStringList{".01", "2", "4", "6", "100"}));
}

TEST_F(Activation, AMasterMustBeAnotherDataSource) {
    TvornSource master;
    source.SetMasterSource(&master);
    test::ExpectToolsetMessage(modal, ui::MessageKind::Error,
                               "Component is not valid TvornSource component!");
    source.SetMasterSource(&form);
    EXPECT_EQ(source.Master(), &master);
    test::ExpectToolsetMessage(modal, ui::MessageKind::Error,
                               "Component can't be both master and detail!");
    source.SetMasterSource(&source);
    EXPECT_EQ(source.Master(), nullptr);
}

class Validation : public test::LabTestSource {
  protected:
    void SetUp() override {
        Open();
        source.Insert();
    }
};

TEST_F(Validation, TheServersInternalAndExternalValuesAreTheAnswer) {
    EXPECT_EQ(CallsOf([&] { EXPECT_TRUE(source.ValidateField("4", "12/6/2026")); }),
              Calls{"DDR VALIDATOR"});
    EXPECT_EQ(source.ValidationAnswer(), (QStringList{"3261206", "DEC 6, 2026"}));
    const test::LoggedCall sent = CallsSince(CallMark() - 1)[0];
    EXPECT_EQ(sent.Entry("\"IENS\""), "+1,");
    EXPECT_FALSE(source.ValidateField("4", "not a date"));
    EXPECT_EQ(source.ValidationAnswer(), (QStringList{"", ""}));
}

TEST_F(Validation, AVetoMakesTheValueValidWithAnEmptyInternalValueAndNoCall) {
    source.BeforeValidateField = [](QObject*, bool& allow, QString&, QString&) { allow = false; };
    EXPECT_EQ(CallsOf([&] { EXPECT_TRUE(source.ValidateField("4", "whatever")); }), Calls{});
    EXPECT_EQ(source.ValidationAnswer(), (QStringList{"", "whatever"}));
}

TEST_F(Validation, TheEventsMayChangeTheFieldTheValueAndTheResult) {
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
    const std::size_t mark = CallMark();
    EXPECT_FALSE(source.ValidateField("4", "12/6/2026"));
    EXPECT_EQ(seen, "6=12");
    EXPECT_EQ(source.ValidationAnswer(), (QStringList{"12", "refused here"}));
    const test::LoggedCall sent = CallsSince(mark).at(0);
    EXPECT_EQ(sent.Entry("\"FIELD\""), "6");
    EXPECT_EQ(sent.Entry("\"VALUE\""), "12");
}

// The server dies while a call waits for its answer (every answer takes 300 ms); once it is
// back, the same action works.
class KilledServer : public test::LabTestSource {
  protected:
    KilledServer() : LabTestSource({1, 300, {}}) {}

    // Runs `action` through the guarded path of event handlers while the server is killed.
    void KilledDuring(const std::function<void()>& action) {
        std::thread killer([this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            Server().Kill();
        });
        modal.OnMessage([](const ui::MessageRequest& r) {
            EXPECT_EQ(r.kind, ui::MessageKind::Error);
            EXPECT_EQ(r.text.toStdString(),
                      "Error encountered.\nFunction was: connection lost\nError was: "
                      "WSAECONNRESET");
            return int(ui::mrOk);
        });
        EXPECT_FALSE(ui::Guarded(action));
        killer.join();
        Server().Start();
    }
};

TEST_F(KilledServer, AnActivationCutShortStartsOverWhenTheServerIsBack) {
    source.SetRPCBroker(&Broker());
    source.Loaded();
    KilledDuring([&] { source.Open(); });
    EXPECT_FALSE(source.Active());
    EXPECT_EQ(source.State(), ssInactive);
    EXPECT_EQ(source.UserAccess(), kAllAccess);
    source.Open();
    EXPECT_TRUE(source.Active());
    EXPECT_EQ(source.State(), ssEmpty);
}

TEST_F(KilledServer, AValidationCutShortLeavesNoFlagAndWorksWhenTheServerIsBack) {
    Open();
    source.Insert();
    KilledDuring([&] { source.ValidateField("4", "12/6/2026"); });
    EXPECT_FALSE(source.Validating());
    EXPECT_EQ(source.State(), ssNew);
    EXPECT_TRUE(source.ValidateField("4", "12/6/2026"));
    EXPECT_EQ(source.ValidationAnswer(), (QStringList{"3261206", "DEC 6, 2026"}));
}

}  // namespace
}  // namespace vorn
