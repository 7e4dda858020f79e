// Records of dictionary files in their globals: where a record and a field live, "^"-pieces,
// the file header (last number and count), word-processing text, index entries and the
// external form of a value.
//
// Layout: a top-level file's records are root(ien,node) ("^ZDEMO(80001,12,0)"); a sub-file's
// records sit under the multiple's node of the parent record (^ZDEMO(80001,12,2,3,0) is record
// 3 of sub-file 80001.02 in record 12); the header is at file-root(0) ("NAME^NUMBER^LAST^COUNT",
// sub-files "^NUMBER^LAST^COUNT"); an index is file-root("B",value,ien)="" with the value cut to
// 30 characters; a word-processing field is record(node,line,0) with record(node,0) its header.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/pieces.h"
#include "devserver/files/dictionary.h"
#include "devserver/m/fm_dates.h"
#include "devserver/storage/global_store.h"

namespace vorn::devserver {

using mstring::Piece;
using mstring::SetPiece;

// IENS: record numbers from the innermost level outwards, each followed by a comma ("3,12,");
// a leading comma is allowed (",12," is "12,"). Gives the numbers innermost first, or nullopt
// when the text is no IENS. Numbers may be placeholders such as "+1" when `placeholders` is set.
std::optional<std::vector<std::string>> ParseIens(std::string_view iens, bool placeholders = false);
// "3,12," from {"3","12"}; and the address written without the trailing comma ("3,12").
std::string JoinIens(const std::vector<std::string>& iens);
std::string RecordAddress(const std::vector<std::string>& iens);

// The node under which a file's records of one parent chain live: the root for a top-level file
// (parentIens empty), else parent-record(multiple node). nullopt when the chain does not fit
// the file's depth.
std::optional<GlobalRef> FileRoot(const Dictionary& dict, const FileDef& file,
                                  const std::vector<std::string>& parentIens);
// The record node root(ien); `iens` innermost first, as many numbers as the file is deep + 1.
std::optional<GlobalRef> RecordRef(const Dictionary& dict, const FileDef& file,
                                   const std::vector<std::string>& iens);

// The header at fileRoot(0).
struct FileHeader {
    long last = 0;
    long count = 0;
};
FileHeader ReadHeader(GlobalStore& store, const GlobalRef& fileRoot);
void WriteHeader(GlobalStore& store, const FileDef& file, const GlobalRef& fileRoot,
                 const FileHeader& header);

bool RecordExists(GlobalStore& store, const GlobalRef& record);
// The stored (internal) value of a field that has a node and a piece; "" when unset.
std::string GetFieldValue(GlobalStore& store, const GlobalRef& record, const FieldDef& field);
// Sets the piece, leaving the node's other pieces as they were; an empty value clears it and a
// node left with nothing but "^"s is removed.
void SetFieldValue(GlobalStore& store, const GlobalRef& record, const FieldDef& field,
                   std::string_view value);
std::vector<std::string> GetWordProcessing(GlobalStore& store, const GlobalRef& record,
                                           const FieldDef& field);
void SetWordProcessing(GlobalStore& store, const GlobalRef& record, const FieldDef& field,
                       const std::vector<std::string>& lines, std::string_view date);

// Index values are cut to this many characters.
inline constexpr std::size_t kIndexValueLength = 30;
// The value a record files under `index` ("" when the field is empty: no entry).
std::string IndexValue(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                       const IndexDef& index, const GlobalRef& record);
// Adds (or removes) the record's entries in every index of its file; `fileRoot` is where the
// record lives. Call RemoveIndexEntries before changing indexed fields and AddIndexEntries after.
void AddIndexEntries(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                     const GlobalRef& fileRoot, const std::string& ien);
void RemoveIndexEntries(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                        const GlobalRef& fileRoot, const std::string& ien);
// Removes every index entry of the file under `fileRoot` and builds them again from the records.
void Reindex(GlobalStore& store, const Dictionary& dict, const FileDef& file,
             const GlobalRef& fileRoot);

// The external form of an internal value: set codes give their text, dates "DEC 6, 2026",
// pointers the pointed record's .01 (itself in external form), variable pointers
// ("12;ZDEMO(80003,") likewise; other types as they stand. "" for a dangling pointer.
std::string ExternalValue(GlobalStore& store, const Dictionary& dict, const FieldDef& field,
                          std::string_view internal);
// Variable-pointer values: "12;ZDEMO(80003," <-> file 80003, record 12.
struct VariablePointerValue {
    const FileDef* file = nullptr;
    std::string ien;
};
std::optional<VariablePointerValue> ParseVariablePointer(const Dictionary& dict,
                                                         const FieldDef& field,
                                                         std::string_view internal);
std::string VariablePointerText(const FileDef& file, std::string_view ien);

// The value of a computed field of a record, evaluated on reading ("YEARS SINCE 4": whole years
// from the date in field 4 to `today`; "" when that date is empty).
std::string ComputedValue(GlobalStore& store, const FileDef& file, const FieldDef& field,
                          const GlobalRef& record, const CivilDate& today);

}  // namespace vorn::devserver
