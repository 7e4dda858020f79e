// What "VRNX REPORT" prints over a top-level file, before it is laid out on pages:
//   "FIELDS"  a print template alone ("<CAPTIONED>;", "<PERUSTULOSTUS>;", "<VORNYKSTUTK>;") or
//             fields "f;f;" (".001" the record number), printed as columns, one line a record
//   "BY"      "NUMBER=n": record n alone; "" or ".01": every record in .01 order
//   "FROM", "TO"  the range of "B" index values (the .01 field; for a pointer the pointed record
//             number), both ends included, compared whole in M order
//   "DIS0", "DIS1"  screens (the M subset of devserver/m/m_screen.h, Y the record number) that a
//             record must both pass
// Templates:
//   <CAPTIONED>      every field of each record with its label, word-processing lines indented
//                    under it, each entry of a multiple with its fields indented under it
//   <PERUSTULOSTUS>  file 80001: the lab test sheet, with subresults, their codes and the
//                    result codes
//   <VORNYKSTUTK>    file 80002: each ward or clinic with its departmental lab tests (80006)
#pragma once

#include <string>
#include <vector>

#include "devserver/files/dictionary.h"
#include "devserver/net/call_parser.h"

namespace vorn::devserver {

class Session;

// A report longer than this is refused rather than kept in memory.
inline constexpr std::size_t kMaxReportLines = 1000000;

struct ReportBody {
    std::vector<std::string> lines;
    std::string columns;  // the column labels of a field list
};

// The body of the report that the list parameter asks for. Checks every argument before it
// reads a record; throws RequestError with the reason.
ReportBody BuildReport(Session& session, const FileDef& file, const Param& list);

}  // namespace vorn::devserver
