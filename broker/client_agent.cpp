#include "broker/internal/client_agent.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "broker/registry_settings.h"

namespace vorn {

bool StartClientAgent() {
    const QString folder =
        ReadRegistryText(RegistryRoot::LocalMachine, kBrokerKey, QStringLiteral("BrokerDr"));
    const QString program = folder.isEmpty() ? QStandardPaths::findExecutable(kClientAgentProgram)
                                             : QDir(folder).filePath(kClientAgentProgram);
    if (program.isEmpty() || !QFileInfo(program).isExecutable()) return false;
    // Detached: the agent lives on its own. startDetached returns once the program was
    // executed, which is as close as this platform comes to waiting until it is idle.
    return QProcess::startDetached(program, {});
}

}  // namespace vorn
