#include "devserver/record_procedures.h"

#include "devserver/ddu_procedures.h"
#include "devserver/dialog_procedures.h"
#include "devserver/filer_procedures.h"
#include "devserver/gets_procedures.h"
#include "devserver/lock_procedures.h"
#include "devserver/record_delete_procedures.h"

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
