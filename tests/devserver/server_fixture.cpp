#include "tests/devserver/server_fixture.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "broker/broker_error.h"
#include "broker/internal/socket_transport.h"
#include "broker/internal/wire_protocol.h"
#include "common/counted_fields.h"
#include "common/scramble.h"
#include "devserver/files/seed.h"
#include "devserver/m/text.h"
#include "tests/support/dev_server_process.h"

namespace vorn::devserver::test {

std::string SeededDatabaseCopy(const TempFolder& folder, int scale) {
    vorn::test::CopySeededDatabase(folder.Path("data.db"), scale);
    return folder.Path("data.db");
}

std::string SeededDatabase(const TempFolder& folder, StoreEngine engine, int scale) {
    if (engine == StoreEngine::Sqlite) return SeededDatabaseCopy(folder, scale);
    const StoreLocation where{engine, folder.Path("gtm")};
    PrepareStore(where);
    Seed(*OpenStore(where), *Dictionary::Load(DefaultSeedFolder() + "/dictionary.vdd"),
         SeedFilesIn(DefaultSeedFolder()), scale);
    return where.path;
}

std::string EngineName(const ::testing::TestParamInfo<StoreEngine>& info) {
    return info.param == StoreEngine::Gtm ? "GTM" : "SQLite";
}

bool EngineMissing(StoreEngine engine) {
    return engine == StoreEngine::Gtm && FindGtmDist().empty();
}

ServerOptions TestOptions(const std::string& dataPath, StoreEngine engine) {
    ServerOptions o;
    o.engine = engine;
    o.port = 0;
    o.dataPath = dataPath;
    o.quietLog = true;
    o.hashIterations = 50;
    o.serverName = "TESTSERVER";
    return o;
}

std::vector<std::string> SplitLines(const QByteArray& data) {
    std::vector<std::string> lines = SplitText(data.toStdString(), '\n');
    for (std::string& line : lines)
        if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

Client::Client(int port) : link_(OpenBrokerLink(false, "127.0.0.1", port, 30)) {
    if (!link_->linked) throw std::runtime_error("the server did not call back");
}

void Client::Close() {
    if (link_ && link_->linked) CloseBrokerLink(*link_);
}

QByteArray ComposedCall(const QString& name, const std::vector<SentParam>& params) {
    TParams sent;
    for (std::size_t i = 0; i < params.size(); ++i) {
        TParamRecord& param = sent[static_cast<int>(i)];
        param.ParamKind = params[i].kind;
        param.Value = params[i].value;
        for (const auto& [s, v] : params[i].entries)
            param.Mult.SetItem(s, v);
    }
    return ComposeCall(name, "0", &sent);
}

QByteArray Client::Send(const QString& name, const std::vector<SentParam>& params) {
    return ExchangeMessage(*link_, ComposedCall(name, params));
}

QByteArray Client::Call(const QString& name, const std::vector<QString>& literals) {
    std::vector<SentParam> params;
    for (const QString& literal : literals)
        params.push_back({TParamType::literal, literal});
    return Send(name, params);
}

std::string Client::MError(const QString& name, const std::vector<QString>& literals) {
    try {
        Call(name, literals);
    } catch (const EBrokerError& e) {
        return e.FailedStep().toStdString();
    }
    return {};
}

std::vector<std::string> Client::Lines(const QString& name, const std::vector<QString>& literals) {
    return SplitLines(Call(name, literals));
}

std::vector<std::string> Client::SignOn(const std::string& access, const std::string& verify) {
    return Lines("XUS AV CODE", {QString::fromStdString(Scramble(access + ";" + verify))});
}

void Client::SignOnDemo() {
    const auto lines = SignOn("DEMO", "DEMO.1234");
    if (lines.empty() || lines[0] == "0") throw std::runtime_error("DEMO did not sign on");
    if (Call("XWB CREATE CONTEXT", {QString::fromStdString(Scramble("ZAZIRERO"))}) != "1")
        throw std::runtime_error("the context was refused");
}

static sockaddr_in Loopback(int port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<std::uint16_t>(port));
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return sa;
}

std::string HandshakeBytes(const std::string& address, int port) {
    const std::string text = "TCPconnect^" + address + "^" + std::to_string(port) + "^TESTHOST^";
    const std::string rest = wire::ByteCount("1.104") + wire::PadCount(text, 5);
    return "{XWB}" + wire::CountDigits(rest.size(), 5) + rest;
}

std::string CallBytes(const std::string& name, const std::string& paramText,
                      const std::string& listData, bool listFlag) {
    const std::string procedure =
        wire::PadCount((listFlag ? "1" : "0") + name + "^" + wire::PadCount(paramText, 5), 5);
    const std::string rest =
        wire::ByteCount("0") + wire::PadCount("007XWB;;;;" + procedure, 5) + listData;
    return "{XWB}" + wire::CountDigits(rest.size() % 100000, 5) + rest;
}

RawClient::RawClient(int port) {
    first_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa = Loopback(port);
    if (::connect(first_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0)
        throw std::runtime_error("cannot connect to the server");
}

RawClient::~RawClient() {
    for (int fd : {first_, listener_, callback_})
        if (fd >= 0) ::close(fd);
}

std::string RawClient::Handshake(const std::string& address) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa = Loopback(0);
    if (address.rfind("127.", 0) == 0) inet_pton(AF_INET, address.c_str(), &sa.sin_addr);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    ::listen(listener_, 4);
    socklen_t len = sizeof sa;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&sa), &len);
    SendRaw(HandshakeBytes(address.empty() ? "127.0.0.1" : address, ntohs(sa.sin_port)));
    const std::string reply = ReadReply();
    if (reply.find("accept") == std::string::npos) return reply;
    if (!CalledBack(10)) return "no call-back";
    callback_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    ::close(std::exchange(first_, -1));
    return reply;
}

bool RawClient::CalledBack(double seconds) {
    pollfd p{listener_, POLLIN, 0};
    return listener_ >= 0 && ::poll(&p, 1, static_cast<int>(seconds * 1000)) > 0;
}

bool RawClient::SendRaw(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool RawClient::Receive(double seconds, std::string& into, bool (*done)(const std::string&)) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd(), POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        char buf[65536];
        const ssize_t n = ::recv(fd(), buf, sizeof buf, 0);
        if (n <= 0) return false;
        into.append(buf, static_cast<std::size_t>(n));
        if (done(into)) break;
    }
    return true;
}

std::string RawClient::ReadReply(double seconds) {
    std::string out;
    const bool open =
        Receive(seconds, out, [](const std::string& s) { return s.back() == '\x04'; });
    return open && !out.empty() && out.back() == '\x04' ? out : std::string();
}

bool RawClient::ClosedBySilence(double seconds) {
    std::string out;
    return !Receive(seconds, out, [](const std::string&) { return true; }) && out.empty();
}

pid_t StartMumps(const GtmFolder& folder, const std::vector<std::string>& args, int out, int in) {
    const std::string dist = FindGtmDist(), mumps = dist + "/mumps";
    std::vector<char*> argv{const_cast<char*>(mumps.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        for (const auto& [k, v] : GtmEnvironment(dist, folder))
            ::setenv(k.c_str(), v.c_str(), 1);
        if (in >= 0) ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execv(mumps.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

std::string RunMumps(const GtmFolder& folder, const std::vector<std::string>& args) {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = StartMumps(folder, args, out[1]);
    ::close(out[1]);
    std::string text;
    char buf[65536];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;)
        text.append(buf, static_cast<std::size_t>(n));
    ::close(out[0]);
    ::waitpid(pid, nullptr, 0);
    return text;
}

std::set<pid_t> ChildProcesses(pid_t parent) {
    std::set<pid_t> out;
    DIR* proc = ::opendir("/proc");
    while (dirent* e = proc ? ::readdir(proc) : nullptr) {
        const pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
        if (pid <= 0) continue;
        std::ifstream stat(std::string("/proc/") + e->d_name + "/stat");
        std::string line;
        std::getline(stat, line);
        const auto close = line.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int ppid = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == parent &&
            state != 'Z')
            out.insert(pid);
    }
    if (proc) ::closedir(proc);
    return out;
}

}  // namespace vorn::devserver::test
