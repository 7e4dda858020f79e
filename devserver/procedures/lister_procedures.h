// "DDR LISTER": a walk along one index of a file, forwards or backwards, in batches.
//
// Request (list parameter): "FILE", "IENS" (a sub-file's parent), "FIELDS" ("f;f;", ".001" the
// record number), "FLAGS" (I internal values, B backwards, P packed: the same lines), "MAX",
// "PART" (index values that begin with it), "SCREEN", "XREF" (the index, default "B"), "FROM"
// (start after this index value), "FROM","IEN" (start after this value and record) and
// "DDFILE"/"DDFIELD" (the pointer field being filled: its screen applies too).
// Reply: "[Misc]" and "MORE^value^ien" when more records follow (the next batch goes on after
// that entry), then "[Data]" and "ien^field^field..." per record; or "[Errors]" and the reason.
#pragma once

#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

void RegisterListerProcedures(ProcedureRegistry& registry);

}  // namespace vorn::devserver
