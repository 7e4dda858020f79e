// "DDR FILER": adding, changing and deleting records in one call, all of it or nothing.
//
// The call: literal "ADD", "EDIT" or "DELETE"; a list of lines "file^field^record^value" under
// entries 1, 2, ... (the record address without its trailing comma: "12", "3,12", "+1" for a
// record to add, "+1,12" for a sub-file entry to add under record 12, "+2,+1" under a record
// added by the same call); a word-processing value "DDRROOT(n)" whose lines are the entries
// "n,1", "n,2", ... (" " an empty line); an empty literal; optionally a list of wished record
// numbers, placeholder number -> record number ("1" or "+1" -> "57").
//
// Every value comes in internal form and is checked again (validator.h); "@" deletes a value,
// on .01 the whole record (record_deletion.h); "" empties a value (not a required one). A new
// record must get every required field of its file. The user needs LAYGO on a file to add,
// WRITE to change and DEL to delete, whatever the client showed, and no record the call changes
// may be locked by another session. Indexes are kept. ADD files new records only, EDIT changes
// records on file only, DELETE takes ".01" lines with "@" only.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "devserver/net/call_parser.h"

namespace vorn::devserver {

class Session;

struct FilerOutcome {
    // Why nothing was filed; empty when everything was.
    std::vector<std::string> errors;
    // For each added record in placeholder order: its placeholder ("+1") and its number.
    std::vector<std::pair<std::string, std::string>> added;
};

FilerOutcome FileRecords(Session& session, const Call& call);

}  // namespace vorn::devserver
