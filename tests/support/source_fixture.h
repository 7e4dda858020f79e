// Component tests of the data source and the controls: the real development server on a free
// port with its own copy of the seeded demo database and its call log, brokers signed on to it
// that created the demo context, every modal interaction answered from a script and every
// timer fired by hand.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "broker/rpc_broker.h"
#include "tests/support/call_log_reader.h"
#include "tests/support/dev_server_process.h"
#include "tests/support/fake_timers.h"
#include "tests/support/scripted_modal_host.h"
#include "tests/support/signed_on_broker.h"
#include "toolkit/modal_seam.h"

namespace vorn::test {

class SourceServer : public ::testing::Test {
  protected:
    SourceServer() : SourceServer(DevServerProcess::Options{}) {}
    explicit SourceServer(DevServerProcess::Options options);
    ~SourceServer() override;

    // The DEMO broker of the test (made on first use).
    TRPCBroker& Broker();
    // Another broker with its own session (a second user): brokers on one host name share
    // one link, so each further session uses another name for the loopback host.
    TRPCBroker& SecondBroker(const QString& codes = kDemoCodes);

    // The server, to kill and start again on the same port and database.
    DevServerProcess& Server() { return server_; }

    // The number of calls the server logged so far; CallNamesSince(mark): their names since.
    std::size_t CallMark() const { return server_.Mark(); }
    std::vector<std::string> CallNamesSince(std::size_t mark) const {
        return server_.NamesSince(mark);
    }
    // How many calls named `name` the server logged since `mark`.
    std::size_t CallCount(std::size_t mark, const std::string& name) const;
    // The calls since `mark` with their parameters as sent.
    std::vector<LoggedCall> CallsSince(std::size_t mark) const { return server_.CallsSince(mark); }
    // Expects the toolset's message dialog of `kind` showing `text`, answered with `result`.
    void Expect(ui::MessageKind kind, const QString& text, int result = ui::mrOk);

    FakeTimers timers;
    ScriptedModalHost modal;

  private:
    DevServerProcess server_;
    std::vector<std::unique_ptr<TRPCBroker>> brokers_;
};

// Expects the toolset's message dialog of `kind` showing `text` (as it was handed to the
// dialog) and answers it with `result`; `whileShown` looks at the program before the answer.
void ExpectToolsetMessage(ScriptedModalHost& host, ui::MessageKind kind, const QString& text,
                          int result = ui::mrOk, std::function<void()> whileShown = {});
// The text a toolset message dialog shows, with its lines joined by "\n".
QString ShownToolsetText(const QString& text);

}  // namespace vorn::test
