// The procedures that read, check, file, lock and delete records, and the dictionary and
// message questions around them; one call registers every group:
//
//   gets_procedures.h           DDR GETS ENTRY DATA
//   filer_procedures.h          DDR VALIDATOR, DDR FILER
//   lock_procedures.h           VRNX LOCKS
//   record_delete_procedures.h  VRNX RECORD POINTER CHECK, VRNX RECORD DELETE
//   ddu_procedures.h            VRNX DDU FIELDS, VRNX DDU FILE ACCESS, VRNX DDU LOCATION,
//                               VRNX DDU POINTER LAYGO, VRNX HELP, VRNX IDENTIFIERS
//   dialog_procedures.h         VRNX DIALOG
#pragma once

#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

void RegisterRecordProcedures(ProcedureRegistry& registry);

}  // namespace vorn::devserver
