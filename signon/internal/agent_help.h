// The help file of the workstation's client agent, which the sign-on forms make the
// application's help file while they are shown.
#pragma once

#include <QString>

namespace vorn {

inline const QString kClientAgentHelpFile = QStringLiteral("zizedez.hlp");

// "zizedez.hlp" in the folder named by the broker setting "BrokerDr" (the bare name when the
// setting is empty).
QString ClientAgentHelpFile();

}  // namespace vorn
