// "VRNX DIALOG": a message of the server's message file by its four-digit id, with its
// parameters placed.
#pragma once

#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

void RegisterDialogProcedures(ProcedureRegistry& registry);

}  // namespace vorn::devserver
