// Sign-on, contexts and authorisation through the real broker client.
#include <atomic>

#include "common/scramble.h"
#include "devserver/procedures/signon_procedures.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::devserver {
namespace {

using test::Client;
using Lines = std::vector<std::string>;

QString Scrambled(const std::string& text) {
    return QString::fromStdString(Scramble(text));
}

class SignOn : public ::testing::Test {
  protected:
    void SetUp() override {
        server = std::make_unique<Server>(test::TestOptions(test::SeededDatabaseCopy(folder)));
        server->Start();
    }
    Client Connect() { return Client(server->Port()); }

    test::TempFolder folder;
    std::unique_ptr<Server> server;
};

TEST_F(SignOn, SetupAndIntroductionNameThePortAndTheCodesAndDemoSignsOnWithAGreeting) {
    Client c = Connect();
    EXPECT_EQ(c.Call("XUS SIGNON SETUP"), QByteArray("TESTSERVER\r\nDEV\r\nVORN\r\n") +
                                              QByteArray::number(server->Port()) +
                                              "\r\n5\r\n0\r\n0\r\n");
    const QByteArray intro = c.Call("XUS INTRO MSG");
    for (const char* code : {"DEMO / DEMO.1234", "READER / READER.1234", "CHANGE / CHANGE.1234"})
        EXPECT_TRUE(intro.contains(code)) << code;
    auto lines = Connect().SignOn("DEMO", "DEMO.1234");
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_NE(lines[6].find("DEMO,USER"), std::string::npos);
    lines[6] = "greeting";
    EXPECT_EQ(lines,
              (Lines{"1", "0", "0", "", "0", "2", "greeting", "This is your first sign-on."}));
    // The next sign-on tells when the last one was; codes compare in upper case.
    const auto second = Connect().SignOn("demo", "demo.1234");
    ASSERT_EQ(second.size(), 8u);
    EXPECT_EQ(second[0], "1");
    EXPECT_EQ(second[7].rfind("You last signed on ", 0), 0u) << second[7];
}

TEST_F(SignOn, LockedIsRefusedAsSuspendedAndWrongCodesMayBeRetriedUntilTheFifthTry) {
    Client locked = Connect();
    EXPECT_EQ(locked.SignOn("LOCKED", "LOCKED.1234"),
              (Lines{"0", "1", "0", "Your access has been suspended.", "0", "0"}));
    EXPECT_EQ(locked.MError("XWB CREATE CONTEXT", {Scrambled("ZAZIRERO")}),
              "You are not signed on.");
    Client c = Connect();
    const Lines wrong{"0", "0", "0", kNotValidCodes, "0", "0"};
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(c.SignOn("DEMO", "WRONG.1234"), wrong) << i;
    // Equal row markers substitute nothing: the right codes in clear are wrong codes too.
    EXPECT_EQ(c.Lines("XUS AV CODE", {"#DEMO;DEMO.1234#"}), wrong);
    EXPECT_EQ(c.Lines("XUS AV CODE", {"!DEMO;DEMO.1234!"}), wrong);
    EXPECT_EQ(c.SignOn("NOBODY", "DEMO.1234"), (Lines{"0", "1", "0", kTooManyAttempts, "0", "0"}));
    // Even the right codes are refused in this session now; a new session starts afresh.
    EXPECT_EQ(c.SignOn("DEMO", "DEMO.1234")[1], "1");
    EXPECT_EQ(Connect().SignOn("DEMO", "DEMO.1234")[0], "1");
}

TEST_F(SignOn, ChangeMustChangeItsCodeAndThenSignsOnWithTheNewOne) {
    {
        Client c = Connect();
        EXPECT_EQ(c.SignOn("CHANGE", "CHANGE.1234"), (Lines{"0", "0", "1", kMustChange, "0", "0"}));
        // Pending: not signed on yet.
        EXPECT_EQ(c.MError("XWB CREATE CONTEXT", {Scrambled("ZAZIRERO")}),
                  "You are not signed on.");
        EXPECT_EQ(c.Lines("XUS AV HELP"), (Lines{kVerifyRule}));
        auto cvc = [&](const std::string& o, const std::string& n, const std::string& k) {
            return c.Lines("XUS CVC", {Scrambled(o) + "^" + Scrambled(n) + "^" + Scrambled(k)});
        };
        EXPECT_EQ(cvc("WRONG.1234", "NEWCODE.77", "NEWCODE.77")[0], "1");
        EXPECT_EQ(cvc("CHANGE.1234", "SHORT.1", "SHORT.1"),
                  (Lines{"1", "The new verify code must be 8 to 20 characters long."}));
        EXPECT_EQ(cvc("CHANGE.1234", "ONLYLETTERS", "ONLYLETTERS")[0], "1");
        EXPECT_EQ(cvc("CHANGE.1234", "change.1234", "change.1234"),
                  (Lines{"1", "The new verify code must differ from the current one."}));
        EXPECT_EQ(cvc("CHANGE.1234", "NEWCODE.77", "NEWCODE.78"),
                  (Lines{"1", "The confirmation does not match the new verify code."}));
        EXPECT_EQ(cvc("CHANGE.1234", "NEWCODE;77", "NEWCODE;77")[0], "1");
        EXPECT_EQ(cvc("change.1234", "newcode.77", "NEWCODE.77"), (Lines{"0"}));
        // Changed: the pending user is signed on.
        EXPECT_EQ(c.Call("XWB CREATE CONTEXT", {Scrambled("ZAZIRERO")}), "1");
    }
    EXPECT_EQ(Connect().SignOn("CHANGE", "CHANGE.1234")[0], "0");
    const auto lines = Connect().SignOn("CHANGE", "NEWCODE.77");
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], "3");
    EXPECT_EQ(lines[2], "0");  // no further change asked
}

TEST_F(SignOn, ApplicationProceduresNeedSignOnAndThenTheContext) {
    Client c = Connect();
    EXPECT_EQ(c.MError("XUS CVC", {Scrambled("A") + "^" + Scrambled("B") + "^" + Scrambled("B")}),
              "You are not signed on.");
    for (const char* name :
         {"VRNX USERDATA", "DDR LISTER", "VRNX LOCKS", "ZORADOD TUL POTTUTK", "XYZ"})
        EXPECT_EQ(c.MError(name), "You are not signed on.") << name;
    c.SignOn("DEMO", "DEMO.1234");
    EXPECT_EQ(c.MError("VRNX USERDATA"), "Application context has not been created!");
    EXPECT_EQ(c.MError("NO SUCH PROCEDURE"),
              "Remote procedure 'NO SUCH PROCEDURE' doesn't exist on the server.");
    EXPECT_EQ(c.Call("XWB CREATE CONTEXT", {Scrambled("NOSUCHCONTEXT")}),
              "The context 'NOSUCHCONTEXT' does not exist on server.");
    c.Call("XWB CREATE CONTEXT", {Scrambled("ZAZIRERO")});
    EXPECT_EQ(c.Lines("VRNX USERDATA"), (Lines{"[Data]", "DEMO,USER^DEMO HOSPITAL"}));
    // An M error leaves the link working.
    EXPECT_EQ(c.Call("XWB CREATE CONTEXT", {Scrambled("ZAZIRERO")}), "1");
}

TEST(AutoSignOn, SessionsStartSignedOnAsTheNamedUserAndAnUnknownOrSuspendedOneStopsTheStart) {
    test::TempFolder folder;
    auto signingOn = [&](const char* access) {
        ServerOptions o = test::TestOptions(test::SeededDatabaseCopy(folder));
        o.autoSignOn = access;
        return std::make_unique<Server>(o);
    };
    for (const char* access : {"NOBODY", "LOCKED"})
        EXPECT_THROW(signingOn(access)->Start(), std::runtime_error) << access;
    const auto server = signingOn("reader");
    server->Start();
    Client c(server->Port());
    EXPECT_EQ(c.Lines("XUS SIGNON SETUP")[5], "1");
    EXPECT_EQ(c.Call("XWB CREATE CONTEXT", {Scrambled("ZAZIRERO")}), "1");
    EXPECT_EQ(c.Lines("VRNX USERDATA")[1], "READER,USER^DEMO HOSPITAL");
}

TEST_F(SignOn, EightClientsAtOnceEachGetTheirOwnAnswers) {
    const std::vector<std::pair<std::string, std::string>> users = {{"DEMO", "DEMO,USER"},
                                                                    {"READER", "READER,USER"}};
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            const auto& [access, name] = users[static_cast<std::size_t>(t % 2)];
            test::Client c(server->Port());
            if (c.SignOn(access, access + ".1234")[1] != "0") return;
            c.Call("XWB CREATE CONTEXT", {Scrambled("ZAZIRERO")});
            for (int i = 0; i < 50; ++i)
                if (c.Lines("VRNX USERDATA")[1] != name + "^DEMO HOSPITAL") return;
            ++good;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(good.load(), 8);
}

}  // namespace
}  // namespace vorn::devserver
