// The workstation's client agent, a separate program started before a link is opened.
#pragma once

#include <QString>

namespace vorn {

inline const QString kClientAgentProgram = QStringLiteral("ZiZedez.Exe");

// Starts the agent from the folder named by the broker setting "BrokerDr", or by its bare name
// from the search path. A missing agent, or one that fails to start, is passed over quietly.
// True when it was started.
bool StartClientAgent();

}  // namespace vorn
