// The procedures' end-to-end tests: a development server on a free port with its own copy of the
// seeded database (plus what a test adds), a manual clock (today is 6 December 2026), and the
// real broker component `TRPCBroker` signed on to it, so every request goes out exactly as the
// client sends it and every reply comes back through the client's own line splitting.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "broker/rpc_broker.h"
#include "devserver/files/dictionary.h"
#include "devserver/m/text.h"
#include "devserver/net/server.h"
#include "devserver/storage/global_store.h"
#include "tests/devserver/server_fixture.h"
#include "tests/support/signed_on_broker.h"

namespace vorn::devserver::test {

using Lines = std::vector<std::string>;
// The named arguments of a list parameter, (subscript, value). A subscript is sent as the client
// writes it: words quoted ("FILE" goes as "\"FILE\"", "FROM,IEN" as "\"FROM\",\"IEN\""),
// numbers bare ("1", "6,1"); one that begins with a quote goes as it stands.
using Entries = std::vector<std::pair<std::string, std::string>>;

using vorn::test::kDemoCodes;
using vorn::test::kFirstHost;
using vorn::test::kReaderCodes;
using vorn::test::kSecondHost;

class BrokerTest : public ::testing::Test {
  protected:
    using AddData = std::function<void(GlobalStore&, const Dictionary&)>;
    // Adds records before the server starts; `dictionaryText` edits the dictionary it loads.
    void StartServer(const AddData& addData = {},
                     const std::function<std::string(std::string)>& dictionaryText = {});
    void TearDown() override;

    // A broker signed on with `codes` that created the demo context.
    TRPCBroker& Broker(const QString& codes = kDemoCodes, const QString& host = kFirstHost);
    // The first DEMO broker.
    TRPCBroker& Demo() { return brokers_.empty() ? Broker() : *brokers_.front(); }

    // `name` with parameter 0 a list of `entries`: the result lines.
    static Lines CallList(TRPCBroker& broker, const std::string& name, const Entries& entries);
    Lines Call(const std::string& name, const Entries& entries) {
        return CallList(Demo(), name, entries);
    }
    // `name` with parameter 0 the literal `value`: the result lines.
    static Lines CallLiteral(TRPCBroker& broker, const std::string& name, const std::string& value);
    // "DDR GETS ENTRY DATA" with "FLAGS" "IE".
    static Lines Gets(TRPCBroker& broker, const std::string& file, const std::string& fields,
                      const std::string& iens);
    // "DDR FILER": the mode literal, the lines under 1, 2, ... (plus any "n,i" text entries in
    // `text`), the empty literal and, when given, the wished numbers.
    static Lines File(TRPCBroker& broker, const std::string& mode, const Lines& lines,
                      const Entries& text = {}, const Entries& wishes = {});
    // The same, on the first DEMO broker.
    Lines Gets(const std::string& file, const std::string& fields, const std::string& iens) {
        return Gets(Demo(), file, fields, iens);
    }
    Lines File(const std::string& mode, const Lines& lines, const Entries& text = {},
               const Entries& wishes = {}) {
        return File(Demo(), mode, lines, text, wishes);
    }
    // "VRNX LOCKS": "1", "0", or the unexpected reply.
    static std::string Lock(TRPCBroker& broker, const std::string& file, const std::string& ien,
                            const std::string& act = "LOCK");
    // Makes sure the server still answers a plain listing.
    void ExpectStillServing();

    // Adds a record to a top-level file: its nodes, its index entries and the header.
    static void AddRecord(GlobalStore& store, const Dictionary& dict, const std::string& file,
                          const std::string& ien, const Entries& nodes);
    // Changes one field of a stored record, keeping its indexes.
    static void SetField(GlobalStore& store, const Dictionary& dict, const std::string& file,
                         const std::string& ien, const std::string& field,
                         const std::string& value);
    // The database as it stands, read beside the server.
    std::optional<std::string> Node(const std::string& global, const Subscripts& subscripts) {
        return Store().Get(GlobalRef{global, subscripts});
    }
    std::vector<std::string> RecordNumbers(const std::string& file);
    std::string FieldOf(const std::string& file, const std::string& ien, const std::string& field);

    TempFolder folder;
    StoreEngine engine = StoreEngine::Sqlite;
    ManualClock clock;
    // Set before StartServer: the budgets and caps a test wants smaller.
    std::function<void(ServerOptions&)> adjustOptions;
    std::string dataPath;
    std::shared_ptr<const Dictionary> dictionary;
    std::unique_ptr<Server> server;
    // The port of a server program the test runs instead (`server`'s when 0).
    int port = 0;

  private:
    GlobalStore& Store();
    std::vector<std::unique_ptr<TRPCBroker>> brokers_;
    std::unique_ptr<GlobalStore> store_;
};

// A test whose server holds the seeded demo data only.
class DemoServerTest : public BrokerTest {
  protected:
    void SetUp() override { StartServer(); }
};

// A fixture whose tests run once on each engine (TEST_P, instantiated with kBothEngines).
template <typename Base>
class OnBothEngines : public Base, public ::testing::WithParamInterface<StoreEngine> {
  protected:
    void SetUp() override {
        this->engine = this->GetParam();
        VORN_SKIP_WITHOUT(this->engine);
        Base::SetUp();
    }
};

// M order of subscripts, written out independently of the server's collation code: canonic
// numbers first, numerically, then strings in byte order.
bool IsCanonicText(const std::string& s);
bool MOrderLess(const std::string& a, const std::string& b);

// The replies' sections: "[Errors]" and the texts; "[BEGIN_diERRORS]" and the texts; the lines
// between "[BEGIN_diDATA]" and "[END_diDATA]".
template <typename... Text>
Lines Errors(const Text&... texts) {
    return Lines{"[Errors]", std::string(texts)...};
}
template <typename... Text>
Lines DiErrors(const Text&... texts) {
    return Lines{"[BEGIN_diERRORS]", std::string(texts)...};
}
template <typename... Text>
Lines DiData(const Text&... lines) {
    return Lines{"[BEGIN_diDATA]", std::string(lines)..., "[END_diDATA]"};
}

// Splits "a^b^c" at "^".
inline std::vector<std::string> Pieces(const std::string& line) {
    return SplitText(line, '^');
}

}  // namespace vorn::devserver::test
