#include "devserver/listing_procedures.h"

#include "devserver/finder_procedures.h"
#include "devserver/lister_procedures.h"
#include "devserver/logical_pointer_procedures.h"

namespace vorn::devserver {

void RegisterListingProcedures(ProcedureRegistry& registry) {
    RegisterListerProcedures(registry);
    RegisterFinderProcedures(registry);
    RegisterLogicalPointerProcedures(registry);
}

}  // namespace vorn::devserver
