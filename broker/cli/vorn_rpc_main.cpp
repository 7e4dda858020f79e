// vorn-rpc: calls one remote procedure on an M server from the command line.
#include <QCoreApplication>
#include <iostream>

#include "broker/cli/rpc_program.h"
#include "broker/cli/terminal.h"
#include "broker/registry_settings.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    vorn::UseSettingsFolderFromEnvironment();
    return vorn::cli::RunRpcProgram(app.arguments().mid(1), vorn::cli::Terminal::Process(),
                                    QString::fromLocal8Bit(qgetenv("VORN_CODES")), std::cout,
                                    std::cerr);
}
