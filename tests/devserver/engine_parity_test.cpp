// The engine is invisible on the wire: the same session of calls, run once on SQLite and once on
// GT.M, gets the same replies and leaves the same call log, line for line, once the log's time
// and duration are masked.
#include <regex>
#include <sstream>

#include "tests/devserver/broker_fixture.h"
#include "tests/support/dev_server_process.h"

namespace vorn::devserver {
namespace {

using test::Entries;
using test::Lines;

struct Transcript {
    std::vector<Lines> replies;
    std::vector<std::string> log;
};

class EngineParity : public test::BrokerTest {
  protected:
    // A session of a data-entry user beside a reader: browse, find, read, check, add, lock,
    // edit, a refusal, a report read to its end, delete.
    Transcript Run(StoreEngine which) {
        engine = which;
        const std::string logPath = folder.Path(which == StoreEngine::Gtm ? "gtm.log" : "sql.log");
        adjustOptions = [&](ServerOptions& o) {
            o.logPath = logPath;
            o.logParams = true;
        };
        StartServer();
        Transcript t;
        TRPCBroker& user = Demo();
        TRPCBroker& reader = Broker(test::kReaderCodes, test::kSecondHost);
        auto keep = [&](Lines r) -> const Lines& { return t.replies.emplace_back(std::move(r)); };
        const Entries browse{
            {"FILE", "80001"}, {"FIELDS", ".01;2"}, {"FLAGS", "IP"}, {"MAX", "12"}, {"XREF", "B"}};
        keep(Call("DDR LISTER", browse));
        keep(Call("VRNX FINDER", {{"FILE", "80001"}, {"FIELDS", ".01;"}, {"VALUE", "h"}}));
        keep(Gets(user, "80001", ".01;2;3;4;7;100;", "1,"));
        keep(Call("DDR VALIDATOR",
                  {{"FILE", "80001"}, {"IENS", "1,"}, {"FIELD", "7"}, {"VALUE", "VIRT"}}));
        const Lines& reply = keep(File(user, "ADD", {"80001^.01^+1^PAR", "80001^2^+1^Parity"}));
        const std::string added = Test::HasFailure() ? "41" : reply.at(1).substr(4);  // "+1,^41"
        keep({Lock(user, "80001", added)});
        keep(CallList(reader, "VRNX LOCKS", {{"FILE", "80001"}, {"IEN", added}, {"ACT", "LOCK"}}));
        keep(File(user, "EDIT",
                  {"80001^2^" + added + "^Parity checked", "80001^6^" + added + "^8"}));
        keep(File(user, "EDIT", {"80001^6^" + added + "^eight"}));
        keep(File(reader, "EDIT", {"80001^2^" + added + "^By a reader"}));
        keep({Lock(user, "80001", added, "UNLOCK")});
        keep(Gets(reader, "80001", ".01;2;6;", added + ","));
        const Lines handle =
            Call("VRNX REPORT", {{"FILE", "80001"}, {"FROM", "A"}, {"TO", "Z"}, {"DHD", "@"}});
        // A document's handle is random by design: it stands masked in the transcript.
        keep(handle.size() > 1 ? Lines{handle[0], "<handle>"} : handle);
        if (handle.size() > 1)
            for (int page = 0; page < 20; ++page) {
                const Lines& part = keep(CallLiteral(user, "VRNX OUTCR", handle[1]));
                if (part.size() < 2 || part[0] != "[Misc]" || part[1].ends_with("^0")) break;
            }
        keep(CallList(user, "VRNX RECORD DELETE", {{"FILE", "80001"}, {"IEN", added}}));
        keep(Gets(user, "80001", ".01", added + ","));
        TearDown();  // closes the sessions, so that their last lines are in the log
        t.log = MaskedLog(vorn::test::FileText(logPath), handle.size() > 1 ? handle[1] : "");
        return t;
    }

    // Each line without its time stamp, its duration and the document's handle, which differ
    // from run to run.
    static std::vector<std::string> MaskedLog(const std::string& text, const std::string& handle) {
        static const std::regex stamp(R"(^\S+ )");
        static const std::regex duration(R"( ms=[0-9.]+)");
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            if (!handle.empty())
                for (auto at = line.find(handle); at != std::string::npos; at = line.find(handle))
                    line.replace(at, handle.size(), "<handle>");
            lines.push_back(
                std::regex_replace(std::regex_replace(line, stamp, "T "), duration, " ms=M"));
        }
        return lines;
    }
};

TEST_F(EngineParity, TheSameCallsGetTheSameBytesAndTheSameLogOnBothEngines) {
    VORN_SKIP_WITHOUT(StoreEngine::Gtm);
    const Transcript sqlite = Run(StoreEngine::Sqlite);
    const Transcript gtm = Run(StoreEngine::Gtm);
    ASSERT_GT(sqlite.log.size(), 20u) << "the session was logged";
    EXPECT_EQ(sqlite.replies.front().at(0), "[Misc]") << "the listing was answered";
    EXPECT_EQ(sqlite.replies[5], Lines{"1"}) << "the record was locked";
    EXPECT_EQ(sqlite.replies.back().at(0), "[ERROR]") << "and deleted at the end";
    ASSERT_EQ(gtm.replies.size(), sqlite.replies.size());
    for (std::size_t i = 0; i < sqlite.replies.size(); ++i)
        EXPECT_EQ(gtm.replies[i], sqlite.replies[i]) << "reply " << i;
    ASSERT_EQ(gtm.log.size(), sqlite.log.size());
    for (std::size_t i = 0; i < sqlite.log.size(); ++i)
        EXPECT_EQ(gtm.log[i], sqlite.log[i]) << "log line " << i;
}

}  // namespace
}  // namespace vorn::devserver
