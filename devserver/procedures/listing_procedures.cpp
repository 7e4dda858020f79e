#include "devserver/procedures/listing_procedures.h"

#include "devserver/procedures/finder_procedures.h"
#include "devserver/procedures/lister_procedures.h"
#include "devserver/procedures/logical_pointer_procedures.h"

namespace vorn::devserver {

void RegisterListingProcedures(ProcedureRegistry& registry) {
    RegisterListerProcedures(registry);
    RegisterFinderProcedures(registry);
    RegisterLogicalPointerProcedures(registry);
}

}  // namespace vorn::devserver
