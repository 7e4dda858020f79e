// The record procedures' tests: a development server on a free port with its own copy of the
// seeded database and a manual clock (today is 6 December 2026), and the real broker component
// `TRPCBroker` signed on to it, so every request goes out exactly as the client sends it and
// every reply comes back through the client's own line splitting.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "broker/rpc_broker.h"
#include "devserver/global_store.h"
#include "devserver/server.h"
#include "tests/devserver/server_fixture.h"

// Readable failure messages: the lines of a reply, one per line.
inline void PrintTo(const QStringList& lines, std::ostream* os) {
    *os << "{";
    for (const QString& l : lines)
        *os << "\n    \"" << l.toStdString() << "\"";
    *os << "\n}";
}
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << "\"" << text.toStdString() << "\"";
}

namespace vorn::devserver::test {

// Entries of a list parameter: (subscript as the client writes it, value).
using Entries = std::vector<std::pair<QString, QString>>;

inline const QString kDemoCodes = QStringLiteral("DEMO;DEMO.1234");
inline const QString kReaderCodes = QStringLiteral("READER;READER.1234");
// Brokers on the same server and port share one link (one session); a second session needs
// another host name for the same server.
inline const QString kFirstHost = QStringLiteral("127.0.0.1");
inline const QString kSecondHost = QStringLiteral("localhost");

class RecordServer : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A broker signed on with `codes` that created the demo context.
    TRPCBroker& Broker(const QString& codes = kDemoCodes, const QString& host = kFirstHost);
    // The default DEMO broker.
    TRPCBroker& Demo() { return Broker(); }

    // Calls `name` with parameter 0 a list of `entries`; the result lines.
    static QStringList CallList(TRPCBroker& broker, const QString& name, const Entries& entries);
    // "DDR GETS ENTRY DATA" with "FLAGS" "IE".
    static QStringList Gets(TRPCBroker& broker, const QString& file, const QString& fields,
                            const QString& iens);
    // "DDR FILER": the mode literal, the lines under 1, 2, ... (plus any "n,i" text entries in
    // `text`), the empty literal and, when given, the wished numbers.
    static QStringList File(TRPCBroker& broker, const QString& mode, const QStringList& lines,
                            const Entries& text = {}, const Entries& wishes = {});
    // "VRNX LOCKS".
    static QString Lock(TRPCBroker& broker, const QString& file, const QString& ien,
                        const QString& act = QStringLiteral("LOCK"));
    // Cuts the broker's connection without a goodbye, as a crashed or unplugged client does.
    static void DropConnection(TRPCBroker& broker);

    // The database as it stands, read beside the server.
    GlobalStore& Store();
    std::optional<std::string> Node(const std::string& global, const Subscripts& subscripts) {
        return Store().Get(GlobalRef{global, subscripts});
    }

    TempFolder folder;
    ManualClock clock;
    std::unique_ptr<Server> server;

  private:
    std::vector<std::unique_ptr<TRPCBroker>> brokers_;
    std::unique_ptr<GlobalStore> store_;
    std::string dataPath_;
};

QStringList Lines(std::initializer_list<const char*> lines);

}  // namespace vorn::devserver::test
