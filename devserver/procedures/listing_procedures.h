// The listing procedures in one group, so that the server's list of groups needs one line:
// "DDR LISTER", "VRNX FINDER" and "VRNX LOGICAL POINTER".
#pragma once

#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

void RegisterListingProcedures(ProcedureRegistry& registry);

}  // namespace vorn::devserver
