// Every group of remote procedures the server answers. A new group lives in its own files with
// a Register...Procedures(ProcedureRegistry&) function and gets one line here.
#include "devserver/procedures/listing_procedures.h"
#include "devserver/procedures/output_procedures.h"
#include "devserver/procedures/procedure_registry.h"
#include "devserver/procedures/record_procedures.h"
#include "devserver/procedures/signon_procedures.h"

namespace vorn::devserver {

void RegisterAllProcedures(ProcedureRegistry& registry) {
    RegisterSignOnProcedures(registry);
    RegisterRecordProcedures(registry);
    RegisterListingProcedures(registry);
    RegisterOutputProcedures(registry);
}

}  // namespace vorn::devserver
