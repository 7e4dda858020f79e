// The procedures that print: each stores its document in the session for paging and answers
// its handle; for a server printer it also appends the document to the device's spool file.
//
//   VRNX REPORT          list: FILE, FIELDS, BY, FROM, TO, DHD, IOP, DIS0, DIS1, ROUTINE
//                        (report_body.h); "[Data]" and the handle, or "[Errors]" and the reason
//   VRNX OUTCR           literal: the handle; "[Misc]", "position^more", "[Data]", the next
//                        kLinesPerPageOut lines; position counts the lines handed out so far,
//                        more is "1" while lines remain. An unknown handle, or another
//                        session's: "[Errors]", "Document not found."
//   ZORADOD TUL POTTUTK  list: POT (a patient, file 80003), IOP; "[Misc]" and the handle of
//                        the patient's lab results, or "[Error]" and the reason
//
// DHD is the heading ("@": none; default the file's name). ROUTINE is accepted and not used:
// this server runs no M routines.
#pragma once

#include <cstddef>

#include "devserver/procedures/procedure_registry.h"

namespace vorn::devserver {

inline constexpr std::size_t kLinesPerPageOut = 200;

void RegisterOutputProcedures(ProcedureRegistry& registry);

}  // namespace vorn::devserver
