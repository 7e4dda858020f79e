// Every group of remote procedures the server answers. A new group lives in its own files with
// a Register...Procedures(ProcedureRegistry&) function and gets one line here.
#include "devserver/listing_procedures.h"
#include "devserver/output_procedures.h"
#include "devserver/procedure_registry.h"
#include "devserver/record_procedures.h"
#include "devserver/signon_procedures.h"

namespace vorn::devserver {

void RegisterAllProcedures(ProcedureRegistry& registry) {
    RegisterSignOnProcedures(registry);
    RegisterRecordProcedures(registry);
    RegisterListingProcedures(registry);
    RegisterOutputProcedures(registry);
}

}  // namespace vorn::devserver
