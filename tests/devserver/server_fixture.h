// Helpers of the development server's tests: a server on a free loopback port with its own
// database in a temporary folder, the real broker client to talk to it, and a raw socket client
// for what no well-behaved client sends.
#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "broker/internal/broker_link.h"
#include "broker/rpc_params.h"
#include "devserver/net/server.h"
#include "devserver/storage/gtm_runtime.h"
#include "devserver/storage/store_engine.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace vorn::devserver::test {

using vorn::test::TempFolder;

// A copy of the seeded demo database in `folder` (seeded once per test program and scale).
std::string SeededDatabaseCopy(const TempFolder& folder, int scale = 1);
// The seeded demo database on `engine` in `folder`: a copy for SQLite, a GT.M database seeded
// in the folder "gtm" for GT.M (a GT.M database names its own file, so it is not copied).
std::string SeededDatabase(const TempFolder& folder, StoreEngine engine, int scale = 1);

// Options for a test server: free port, quiet, fast code hashing, the given database.
ServerOptions TestOptions(const std::string& dataPath, StoreEngine engine = StoreEngine::Sqlite);

// Both engines, for suites that run on each (INSTANTIATE_TEST_SUITE_P(..., kBothEngines,
// EngineName)); a GT.M case is skipped where GT.M is not installed.
inline const auto kBothEngines = ::testing::Values(StoreEngine::Sqlite, StoreEngine::Gtm);
std::string EngineName(const ::testing::TestParamInfo<StoreEngine>& info);
// True (and the test marked skipped) when the engine cannot run here.
bool EngineMissing(StoreEngine engine);
#define VORN_SKIP_WITHOUT(engine) \
    if (::vorn::devserver::test::EngineMissing(engine)) GTEST_SKIP() << "GT.M is not installed"

// A store of the test's own on each engine (TEST_P, instantiated with kBothEngines).
class StoreOnBothEngines : public ::testing::TestWithParam<StoreEngine> {
  protected:
    void SetUp() override {
        VORN_SKIP_WITHOUT(GetParam());
        PrepareStore(where);
        owned = OpenStore(where);
    }
    GlobalStore& store() { return *owned; }

    TempFolder folder;
    const StoreLocation where{GetParam(),
                              folder.Path(GetParam() == StoreEngine::Gtm ? "gtm" : "store.db")};
    std::unique_ptr<GlobalStore> owned;
};

// True once `done` holds; false when it still does not after `seconds` of waiting.
template <typename F>
bool Soon(F done, double seconds = 10) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

// A parameter as the client sends it: its kind, its value and a list's entries.
struct SentParam {
    TParamType kind = TParamType::literal;
    QString value = {};
    std::vector<std::pair<QString, QString>> entries = {};
};
// A call message as the client composes it (after its "{XWB}").
QByteArray ComposedCall(const QString& name, const std::vector<SentParam>& params);

// The real client: a link to the server and calls through the broker's own wire code.
class Client {
  public:
    explicit Client(int port);
    ~Client() { Close(); }
    BrokerLink& link() { return *link_; }
    // Raises EBrokerError for M errors, as the broker does.
    QByteArray Send(const QString& name, const std::vector<SentParam>& params);
    QByteArray Call(const QString& name, const std::vector<QString>& literals = {});
    // A call whose parameter 0 is a list of (subscript, value).
    QByteArray CallList(const QString& name,
                        const std::vector<std::pair<QString, QString>>& entries) {
        return Send(name, {{TParamType::list, {}, entries}});
    }
    // The M error's text of a call that must fail, or "" if it did not.
    std::string MError(const QString& name, const std::vector<QString>& literals = {});
    std::vector<std::string> Lines(const QString& name, const std::vector<QString>& literals = {});
    // Signs on with the codes; gives the "XUS AV CODE" lines.
    std::vector<std::string> SignOn(const std::string& access, const std::string& verify);
    // Signs on as DEMO and creates the demo context.
    void SignOnDemo();
    // Sends the goodbye and closes.
    void Close();

  private:
    std::unique_ptr<BrokerLink> link_;
};

std::vector<std::string> SplitLines(const QByteArray& data);

// A bare TCP client of the listener and the call-back, for hostile input.
class RawClient {
  public:
    // Connects to the listener only.
    explicit RawClient(int port);
    ~RawClient();
    // Sends a handshake announcing `address` (default: this side's own) and its own call-back
    // port, reads the reply and, when accepted, takes the server's call-back connection.
    // The call-back listener is bound to `address` when it is a loopback address.
    std::string Handshake(const std::string& address = "");
    // True when the server connected to the call-back listener within `seconds`.
    bool CalledBack(double seconds);
    bool SendRaw(const std::string& bytes);  // on the call-back when there is one, else the first
    // Reads a whole reply (to 0x04); "" when the server closed the connection first.
    std::string ReadReply(double seconds = 10);
    // Waits (at most `seconds`) until the server closes the connection: true when it did
    // without sending anything.
    bool ClosedBySilence(double seconds = 10);
    // The connection in use: the call-back when there is one, else the first.
    int fd() const { return callback_ >= 0 ? callback_ : first_; }

  private:
    // Receives what comes within `seconds`, until `done` says so; false when the peer closed.
    bool Receive(double seconds, std::string& into, bool (*done)(const std::string&));
    int first_ = -1;
    int listener_ = -1;
    int callback_ = -1;
};

// The handshake message as the client sends it, for `address`:`port`.
std::string HandshakeBytes(const std::string& address, int port);
// A call message as the client frames it, from its parts (its count the length's last five
// digits), for variations no client sends.
std::string CallBytes(const std::string& name, const std::string& paramText,
                      const std::string& listData, bool listFlag);

// `mumps` of the installation with `args`, in the environment that opens `folder`'s database:
// a child writing to `out` (output and errors) and, when given, reading `in`. The pipes' other
// ends must be close-on-exec, so that the child holds none of them.
pid_t StartMumps(const GtmFolder& folder, const std::vector<std::string>& args, int out,
                 int in = -1);
// Runs `mumps` with `args` to its end: what it wrote.
std::string RunMumps(const GtmFolder& folder, const std::vector<std::string>& args);

// The living processes whose parent is `parent` (a GT.M server's session processes).
std::set<pid_t> ChildProcesses(pid_t parent);

}  // namespace vorn::devserver::test
