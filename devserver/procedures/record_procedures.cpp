#include "devserver/procedures/record_procedures.h"

#include "devserver/procedures/ddu_procedures.h"
#include "devserver/procedures/dialog_procedures.h"
#include "devserver/procedures/filer_procedures.h"
#include "devserver/procedures/gets_procedures.h"
#include "devserver/procedures/lock_procedures.h"
#include "devserver/procedures/record_delete_procedures.h"

namespace vorn::devserver {

void RegisterRecordProcedures(ProcedureRegistry& registry) {
    RegisterGetsProcedures(registry);
    RegisterFilerProcedures(registry);
    RegisterLockProcedures(registry);
    RegisterRecordDeleteProcedures(registry);
    RegisterDduProcedures(registry);
    RegisterDialogProcedures(registry);
}

}  // namespace vorn::devserver
