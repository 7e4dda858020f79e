// "VRNX LOGICAL POINTER": the records of a file that point to one master record through an
// index (the rows of a bound grid under a logical detail), sorted on the server.
//
// Request: "FILE", "XREF" (the index on the pointing field, default "B"), "IEN" (the master
// record: the index value to list), "FIELDS", "MAX" (absent or "*": all), "FROM" (the
// continuation of the previous batch), "SORT" (the field to sort on, default ".01"),
// "SORTDIR" ("DESC" for descending), "SCREEN"; also "IENS" for a sub-file.
// Order: the sort field's value, then the record number (both reversed with "DESC"); the value
// is the external one, except that dates sort by their internal value, so in time order.
// Reply: "[Misc]", "MORE^^continuation" when more follow (the continuation holds no "^"), then
// "[Data]" and "ien^value^value..." lines; or "[Errors]" and the reason.
#pragma once

#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

void RegisterLogicalPointerProcedures(ProcedureRegistry& registry);

}  // namespace vorn::devserver
