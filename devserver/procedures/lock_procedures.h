// "VRNX LOCKS": a session's lock on a record while its user changes it. Locks stand on the
// top-level record (a sub-file entry locks its top record), are counted, refused at once while
// another session holds the record, and go with the session however it ends (lock_table.h).
#pragma once

#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

void RegisterLockProcedures(ProcedureRegistry& registry);

}  // namespace vorn::devserver
