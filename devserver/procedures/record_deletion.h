// Deleting a record the way every deleting procedure does it ("VRNX RECORD DELETE", "@" on
// .01 through "DDR FILER"): its sub-file entries and index entries go with it, pointers to it
// from optional fields are cleared (their records' indexes kept), and it is refused while a
// required field points to it or a record that would change is locked by another session. No
// pointer is left dangling.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "devserver/files/dictionary.h"
#include "devserver/storage/global_store.h"

namespace vorn::devserver {

// A record that points to another one through `field`.
struct PointingRecord {
    const FileDef* file = nullptr;
    const FieldDef* field = nullptr;
    std::vector<std::string> iens;  // innermost first
};

// Every record whose pointer or variable-pointer field holds record `ien` of the top-level file
// `target`, file by file in dictionary order and record order within a file. A field with an
// index of internal values is looked up in it; any other is read record by record.
std::vector<PointingRecord> FindPointersTo(GlobalStore& store, const Dictionary& dict,
                                           const FileDef& target, const std::string& ien);

// Says whether another session holds the lock of a record (of any file, any level).
using LockedByOther =
    std::function<bool(const FileDef& file, const std::vector<std::string>& iens)>;

// Deletes the record, in the caller's transaction. Gives its .01 value (external), or throws
// RequestError saying why it was not deleted (nothing changed then).
std::string DeleteRecord(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                         const std::vector<std::string>& iens, const LockedByOther& locked);

}  // namespace vorn::devserver
