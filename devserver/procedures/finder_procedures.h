// "VRNX FINDER": the records whose index values begin with a typed text, ignoring case.
//
// Request: as "DDR LISTER" ("FILE", "IENS", "FIELDS", "MAX", "SCREEN", "FROM", "FROM","IEN"),
// with "VALUE" the typed text ("PART" when there is no "VALUE"), "XREF" the indexes to search
// ("B^C"; default "B"), "FLAGS" (M: every index of the file, after those named; I internal
// values; B backwards), "ID" (accepted; identifier output is not produced) and "DDFILE"/
// "DDFIELD", the pointer field being filled, whose screen (if it has one) applies too.
// The indexes are walked together in M order of (value, record), so the reply's continuation
// is "MORE^value^ien" as the lister's; a record that several indexes match appears once, at
// its first place in that order.
#pragma once

#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

void RegisterFinderProcedures(ProcedureRegistry& registry);

}  // namespace vorn::devserver
