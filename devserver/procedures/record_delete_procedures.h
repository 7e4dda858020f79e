// "VRNX RECORD POINTER CHECK" (which records point to one that is about to be deleted, and
// whether that forbids the deletion) and "VRNX RECORD DELETE" (record_deletion.h).
#pragma once

#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

void RegisterRecordDeleteProcedures(ProcedureRegistry& registry);

}  // namespace vorn::devserver
