// "DDR GETS ENTRY DATA": the fields of one record, internal and external, word-processing text
// with its end line, computed fields evaluated on reading. File 1 is the dictionary itself
// (field .01 the file name, field 4 the description).
#pragma once

#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

void RegisterGetsProcedures(ProcedureRegistry& registry);

}  // namespace vorn::devserver
