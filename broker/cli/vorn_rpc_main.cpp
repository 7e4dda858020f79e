// vorn-rpc: calls one remote procedure on an M server from the command line.
#include <QCoreApplication>
#include <cstdio>
#include <iostream>

#include "broker/broker_error.h"
#include "broker/cli/rpc_command_line.h"
#include "broker/cli/terminal_signon_front.h"
#include "broker/registry_settings.h"
#include "broker/rpc_broker.h"

namespace {

void Print(std::FILE* out, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), out);
    std::fputc('\n', out);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    vorn::UseSettingsFolderFromEnvironment();
    QString error;
    const auto command = vorn::cli::ParseRpcCommand(app.arguments().mid(1), error);
    if (!command) {
        Print(stderr, QStringLiteral("vorn-rpc: ") + error);
        Print(stderr, QStringLiteral("Try 'vorn-rpc --help'."));
        return 2;
    }
    if (command->help) {
        std::fputs(vorn::cli::RpcUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }

    vorn::cli::TerminalSignonFront front(vorn::cli::Terminal::Process());
    vorn::SetSignonFront(&front);

    vorn::TRPCBroker broker;
    if (command->server) broker.SetServer(*command->server);
    if (command->port) broker.SetListenerPort(*command->port);
    if (command->timeout) broker.SetCallTimeLimit(*command->timeout);
    const QByteArray codes = qgetenv("VORN_CODES");
    if (!codes.isEmpty()) broker.PresetCodes = QString::fromLocal8Bit(codes);
    try {
        if (command->context && !broker.OpenAppContext(*command->context)) {
            Print(stderr, QStringLiteral("vorn-rpc: the server did not accept the context ") +
                              *command->context);
            return 1;
        }
        broker.RemoteProcedure = command->procedure;
        if (command->rpcVersion) broker.RpcVersion = *command->rpcVersion;
        command->FillParams(broker.Param);
        broker.CallRemote();
        for (const QString& line : broker.Results)
            Print(stdout, line);
        broker.SetConnected(false);
        return 0;
    } catch (const vorn::EBrokerError& e) {
        Print(stderr, e.Message());
        return 1;
    }
}
