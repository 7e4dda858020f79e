// Finding the record a user means by what was typed into a pointer field: "`12" is record 12;
// otherwise the records whose .01 value (in its external form, so a patient is found by the
// person's name) equals the text ignoring case, or, when none does, begins with it; a number
// that matches no .01 value is taken as a record number. Also every record of a (sub-)file.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "devserver/files/dictionary.h"
#include "devserver/storage/global_store.h"

namespace vorn::devserver {

struct LookupMatch {
    std::string ien;
    std::string text;  // the .01 value as users read it
};

struct LookupResult {
    bool exact = false;  // matched by record number or by the whole .01 value
    std::vector<LookupMatch> matches;
};

// `file` is a top-level file.
LookupResult LookUpRecord(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                          std::string_view typed);

// Visits every record of `file` (sub-files: under every parent record), with its address
// innermost first; stop by returning false.
void ForEachRecord(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                   const std::function<bool(const std::vector<std::string>& iens,
                                            const GlobalRef& record)>& visit);

// True for a positive canonic number, the form record numbers take.
bool IsRecordNumberText(std::string_view text);

}  // namespace vorn::devserver
