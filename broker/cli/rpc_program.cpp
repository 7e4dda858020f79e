#include "broker/cli/rpc_program.h"

#include <ostream>

#include "broker/broker_error.h"
#include "broker/cli/rpc_command_line.h"
#include "broker/cli/terminal_signon_front.h"
#include "broker/rpc_broker.h"

namespace vorn::cli {
namespace {

void Print(std::ostream& out, const QString& text) {
    out << text.toLocal8Bit().constData() << '\n' << std::flush;
}

// The sign-on front is the process's: this run's front stands only while it runs.
class FrontDuringRun {
  public:
    explicit FrontDuringRun(SignonFront* front) { SetSignonFront(front); }
    ~FrontDuringRun() { SetSignonFront(nullptr); }
    FrontDuringRun(const FrontDuringRun&) = delete;
    FrontDuringRun& operator=(const FrontDuringRun&) = delete;
};

}  // namespace

int RunRpcProgram(const QStringList& arguments, Terminal& terminal, const QString& codes,
                  std::ostream& out, std::ostream& err) {
    QString error;
    const auto command = ParseRpcCommand(arguments, error);
    if (!command) {
        Print(err, QStringLiteral("vorn-rpc: ") + error);
        Print(err, QStringLiteral("Try 'vorn-rpc --help'."));
        return 2;
    }
    if (command->help) {
        out << RpcUsage().toLocal8Bit().constData() << std::flush;
        return 0;
    }
    TerminalSignonFront front(terminal);
    const FrontDuringRun standing(&front);
    TRPCBroker broker;
    if (command->server) broker.SetServer(*command->server);
    if (command->port) broker.SetListenerPort(*command->port);
    if (command->timeout) broker.SetCallTimeLimit(*command->timeout);
    if (!codes.isEmpty()) broker.PresetCodes = codes;
    try {
        if (command->context && !broker.OpenAppContext(*command->context)) {
            Print(err, QStringLiteral("vorn-rpc: the server did not accept the context ") +
                           *command->context);
            return 1;
        }
        broker.RemoteProcedure = command->procedure;
        if (command->rpcVersion) broker.RpcVersion = *command->rpcVersion;
        command->FillParams(broker.Param);
        broker.CallRemote();
        for (const QString& line : broker.Results)
            Print(out, line);
        broker.SetConnected(false);
        return 0;
    } catch (const EBrokerError& e) {
        Print(err, e.Message());
        return 1;
    }
}

}  // namespace vorn::cli
