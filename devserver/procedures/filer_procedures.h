// "DDR VALIDATOR" (is a typed value good for a field: its internal and external form) and
// "DDR FILER" (filer.h).
#pragma once

#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

void RegisterFilerProcedures(ProcedureRegistry& registry);

}  // namespace vorn::devserver
