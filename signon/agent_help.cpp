#include "signon/internal/agent_help.h"

#include <QDir>

#include "broker/registry_settings.h"

namespace vorn {

QString ClientAgentHelpFile() {
    const QString folder =
        ReadRegistryText(RegistryRoot::LocalMachine, kBrokerKey, QStringLiteral("BrokerDr"));
    return folder.isEmpty() ? kClientAgentHelpFile : QDir(folder).filePath(kClientAgentHelpFile);
}

}  // namespace vorn
