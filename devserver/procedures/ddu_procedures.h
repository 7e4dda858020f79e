// What the client asks about the data dictionary and the user's rights: "VRNX DDU FIELDS",
// "VRNX DDU FILE ACCESS", "VRNX DDU LOCATION", "VRNX DDU POINTER LAYGO", "VRNX HELP" and
// "VRNX IDENTIFIERS".
#pragma once

#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

void RegisterDduProcedures(ProcedureRegistry& registry);

}  // namespace vorn::devserver
