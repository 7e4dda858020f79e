// A development server with the demo data plus what a listing test adds to it, and the real
// broker component signed on to it, for the listing procedures' end-to-end tests.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "broker/broker_ui.h"
#include "broker/rpc_broker.h"
#include "devserver/dictionary.h"
#include "devserver/global_store.h"
#include "devserver/server.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::devserver::test {

// List entries as the client stores them: the subscript as M text ("\"FILE\"") and the value.
using Entries = std::vector<std::pair<std::string, std::string>>;

class ListingTest : public ::testing::Test {
  protected:
    // Adds records before the server starts; `dictionaryText` edits the dictionary it loads.
    void StartServer(const std::function<void(GlobalStore&, const Dictionary&)>& addData = {},
                     const std::function<std::string(std::string)>& dictionaryText = {});
    void TearDown() override;

    // Calls `procedure` with one list parameter holding `entries`, through TRPCBroker.
    std::vector<std::string> Call(const std::string& procedure, const Entries& entries);
    // Makes sure the server still answers a plain listing.
    void ExpectStillServing();

    // Adds a record to a top-level file: its nodes, its index entries and the header.
    static void AddRecord(GlobalStore& store, const Dictionary& dict, const std::string& file,
                          const std::string& ien,
                          const std::vector<std::pair<std::string, std::string>>& nodes);
    // Changes one field of a stored record, keeping its indexes.
    static void SetField(GlobalStore& store, const Dictionary& dict, const std::string& file,
                         const std::string& ien, const std::string& field,
                         const std::string& value);
    // The records of a top-level file, read straight from the database copy the server uses.
    std::vector<std::string> RecordNumbers(const std::string& file);
    std::string FieldOf(const std::string& file, const std::string& ien, const std::string& field);

    // The sign-on greeting and any other plain message, kept instead of printed.
    class QuietUi final : public BrokerUi {
      public:
        void ShowMessage(const QString& text) override { messages.push_back(text); }
        std::vector<QString> messages;
    };

    QuietUi ui;
    TempFolder folder;
    std::string dataPath;
    std::shared_ptr<const Dictionary> dictionary;
    std::unique_ptr<Server> server;
    std::unique_ptr<TRPCBroker> broker;
};

// M order of subscripts, written out independently of the server's collation code: canonic
// numbers first, numerically, then strings in byte order.
bool IsCanonicText(const std::string& s);
bool MOrderLess(const std::string& a, const std::string& b);

// Splits "a^b^c" at "^".
std::vector<std::string> Pieces(const std::string& line);

}  // namespace vorn::devserver::test
