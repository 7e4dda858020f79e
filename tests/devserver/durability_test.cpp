// What survives a restart and a killed server: every completed transaction, none of an
// interrupted one, and a database that opens cleanly.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "devserver/storage/global_store.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::devserver {
namespace {

constexpr int kNodesPerTransaction = 100;

GlobalRef Node(int transaction, int i) {
    return GlobalRef{"ZTEST", {std::to_string(transaction), std::to_string(i)}};
}

// Writes transactions of kNodesPerTransaction nodes in a child process and reports each commit
// on `out`; in transaction `stopIn` it stops half-way, says "mid" and waits to be killed.
[[noreturn]] void WriteBatches(const std::string& path, int out, int stopIn) {
    GlobalStore store(path);
    for (int t = 1;; ++t) {
        GlobalStore::Transaction tx(store);
        for (int i = 1; i <= kNodesPerTransaction; ++i) {
            store.Set(Node(t, i), "value " + std::to_string(t) + "," + std::to_string(i));
            if (t == stopIn && i == kNodesPerTransaction / 2) {
                [[maybe_unused]] auto n = ::write(out, "M", 1);
                for (;;)
                    ::pause();
            }
        }
        tx.Commit();
        [[maybe_unused]] auto n = ::write(out, "C", 1);
    }
}

// The number of nodes each transaction left, checking that none is partial.
int CompleteTransactions(const std::string& path) {
    GlobalStore store(path);
    int complete = 0;
    for (int t = 1;; ++t) {
        int found = 0;
        for (int i = 1; i <= kNodesPerTransaction; ++i) {
            const auto v = store.Get(Node(t, i));
            const std::string value = "value " + std::to_string(t) + "," + std::to_string(i);
            EXPECT_EQ(v.value_or(value), value);
            found += v.has_value();
        }
        EXPECT_TRUE(found == 0 || found == kNodesPerTransaction)
            << "transaction " << t << " left " << found;
        if (found == 0) {
            EXPECT_EQ(store.Order(GlobalRef{"ZTEST", {std::to_string(t)}}), "")
                << "a later one exists";
            return complete;
        }
        ++complete;
    }
}

std::string IntegrityCheck(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    std::string result;
    sqlite3_exec(
        db, "PRAGMA integrity_check",
        [](void* r, int, char** values, char**) {
            *static_cast<std::string*>(r) += values[0];
            return 0;
        },
        &result, nullptr);
    sqlite3_close(db);
    return result;
}

// Kills the writer once it reported `commits` commits, or when it says it is half-way.
int KillWriter(const std::string& path, int stopIn, int commits) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        WriteBatches(path, fds[1], stopIn);
    }
    ::close(fds[1]);
    int seen = 0;
    char c = 0;
    while (::read(fds[0], &c, 1) == 1 && c != 'M' && ++seen < commits)
        continue;
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    // Commits reported after the last one we read may also have landed.
    while (::read(fds[0], &c, 1) == 1)
        seen += c == 'C';
    ::close(fds[0]);
    return seen;
}

TEST(Durability, AServerKilledInTheMiddleOfATransactionKeepsEveryCompletedOneAndNoneOfIt) {
    test::TempFolder folder;
    const std::string path = test::SeededDatabaseCopy(folder);
    EXPECT_EQ(KillWriter(path, /*stopIn=*/20, /*commits=*/1000), 19);
    EXPECT_EQ(IntegrityCheck(path), "ok");
    EXPECT_EQ(CompleteTransactions(path), 19);
    // The server starts on it and serves.
    Server server(test::TestOptions(path));
    server.Start();
    test::Client c(server.Port());
    c.SignOnDemo();
}

TEST(Durability, ResetSeedsAgainAndDataThatWereNotSeededAreNeverWipedUnasked) {
    test::TempFolder folder;
    const std::string path = test::SeededDatabaseCopy(folder);
    const GlobalRef hb{"ZDEMO", {"80001", "1", "0"}};
    GlobalStore(path).Set(hb, "CHANGED");
    ServerOptions o = test::TestOptions(path);
    o.reset = true;
    Server(o).Start();
    EXPECT_EQ(GlobalStore(path).GetOr(hb), "HB^Hemoglobin^1^3100101^1^6^1^2");
    const std::string foreign = folder.Path("foreign.db");
    GlobalStore(foreign).Set(GlobalRef{"XYZ", {"1"}}, "someone's data");
    EXPECT_THROW(Server(test::TestOptions(foreign)).Start(), std::runtime_error);
    EXPECT_EQ(GlobalStore(foreign).GetOr(GlobalRef{"XYZ", {"1"}}), "someone's data");
}

}  // namespace
}  // namespace vorn::devserver
