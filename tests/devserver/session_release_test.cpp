// Locks and documents belong to their session and go when its connection does, however it ends.
#include "broker/broker_error.h"
#include "devserver/files/file_records.h"
#include "devserver/net/session.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::devserver {
namespace {

using namespace std::chrono_literals;

// The demo registry and a procedure that holds things: a lock on a record of a file and a
// stored document; it answers the document's handle, or "0" when the lock was refused. That a
// document is its own session's is the printing tests' and the document store's.
class Holding : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterAllProcedures(registry);
        registry.Add("ZZTEST HOLD", Access::Application, [](Session& s, const Call& call) {
            const FileDef* file = s.dictionary().File(call.Literal(0));
            const auto iens = ParseIens(call.Literal(1));
            if (!file || !iens) return Reply::MError("bad record");
            if (!s.LockRecord(*file, *iens)) return Reply::Value("0");
            return Reply::Value(s.documents().Add({"line 1", "line 2"}));
        });
        ServerOptions o = test::TestOptions(test::SeededDatabaseCopy(folder));
        o.clock = &clock;
        server = std::make_unique<Server>(o, &registry);
        server->Start();
    }
    // A signed-on session holding what `holds` names, (file, record address) pairs.
    std::unique_ptr<test::Client> SignedOn(
        const std::vector<std::pair<QString, QString>>& holds = {}) {
        auto c = std::make_unique<test::Client>(server->Port());
        c->SignOnDemo();
        for (const auto& [file, iens] : holds)
            c->Call("ZZTEST HOLD", {file, iens});
        return c;
    }
    bool EmptiedSoon() {
        return test::Soon([&] {
            return server->context().locks.Size() == 0 && server->context().documents.Size() == 0;
        });
    }

    test::TempFolder folder;
    ManualClock clock;
    ProcedureRegistry registry;
    std::unique_ptr<Server> server;
};

TEST_F(Holding, EverythingGoesWithAGoodbye) {
    auto a = SignedOn({{"80001", "1,"}, {"80001", "1,"}, {"80002", "3,"}});
    EXPECT_EQ(server->context().locks.Size(), 2u);
    EXPECT_EQ(server->context().documents.Size(), 3u);
    a->Close();
    EXPECT_TRUE(EmptiedSoon());
    EXPECT_NE(SignedOn()->Call("ZZTEST HOLD", {"80001", "1,"}), "0");
}

TEST_F(Holding, EverythingGoesWhenTheConnectionDropsWithoutAGoodbye) {
    auto a = SignedOn({{"80001", "1,"}, {"80005", "7,"}});
    a->link().socket.SetLingerZero();
    a->link().socket.Close();  // reset, no goodbye
    a->link().linked = false;
    EXPECT_TRUE(EmptiedSoon());
    EXPECT_NE(SignedOn()->Call("ZZTEST HOLD", {"80005", "7,"}), "0");
}

TEST_F(Holding, EverythingGoesWhenAnIdleSessionIsClosed) {
    auto a = SignedOn({{"80001", "4,"}});
    for (int i = 0; i < 100 && server->context().locks.Size() > 0; ++i) {
        clock.Advance(31min);
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(EmptiedSoon());
    EXPECT_THROW(a->Call("XUS SIGNON SETUP"), EBrokerError);
}

TEST_F(Holding, EverythingGoesWhenTheServerStops) {
    auto a = SignedOn({{"80001", "5,"}});
    server->Stop();
    EXPECT_EQ(server->context().locks.Size(), 0u);
    EXPECT_EQ(server->context().documents.Size(), 0u);
    EXPECT_EQ(server->Connections(), 0);
}

TEST(LockTable, CountsReleasesAndRefuses) {
    LockTable t;
    EXPECT_TRUE(t.Lock(1, "80001", "1") && t.Lock(1, "80001", "1"));
    EXPECT_FALSE(t.Lock(2, "80001", "1"));
    EXPECT_TRUE(t.HeldByOther(2, "80001", "1"));
    EXPECT_FALSE(t.HeldByOther(1, "80001", "1") || t.Unlock(2, "80001", "1"));
    EXPECT_TRUE(t.Unlock(1, "80001", "1"));
    EXPECT_FALSE(t.Lock(2, "80001", "1"));  // still once
    EXPECT_TRUE(t.Unlock(1, "80001", "1"));
    EXPECT_FALSE(t.Unlock(1, "80001", "1"));
    EXPECT_TRUE(t.Lock(2, "80001", "1") && t.Lock(2, "80002", "1") && t.Lock(3, "80002", "2"));
    EXPECT_EQ(t.ReleaseAll(2), 2);
    EXPECT_EQ(t.Size(), 1u);
    {
        SessionLocks mine(t, 4);
        EXPECT_TRUE(mine.Lock("80003", "9"));
        EXPECT_TRUE(mine.HeldByOther("80002", "2"));
    }
    EXPECT_FALSE(t.HolderOf("80003", "9").has_value());
}

}  // namespace
}  // namespace vorn::devserver
