// What the record procedures are asked about, checked against the dictionary and the store: a
// file, a field, a record address. Each check throws RequestError with a text the client can
// show as it stands, so that a handler reads straight through and formats the error in its
// own reply shape in one place.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "devserver/files/dictionary.h"
#include "devserver/files/users.h"
#include "devserver/m/text.h"
#include "devserver/net/call_parser.h"
#include "devserver/procedures/record_reader.h"
#include "devserver/storage/global_store.h"

namespace vorn::devserver {

// The line that ends a word-processing field's text, read and written.
inline constexpr const char* kTextEnd = "$$END$$";

class RequestError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "80001 (DEMO LAB TEST)", the way error texts name a file.
std::string FileTitle(const FileDef& file);
// "FULL NAME (2)", the way error texts name a field.
std::string FieldTitle(const FieldDef& field);

const FileDef& RequireFile(const Dictionary& dict, std::string_view number);
const FieldDef& RequireField(const FileDef& file, std::string_view number);

// A record address as the client writes it, with or without its trailing comma ("12", "3,12,",
// ",12,"), as numbers innermost first; it must have as many numbers as the file is deep. With
// `placeholders`, numbers may be "+n" (records being added).
std::vector<std::string> RequireIens(const Dictionary& dict, const FileDef& file,
                                     std::string_view address, bool placeholders = false);
// The record node of an existing record.
GlobalRef RequireRecord(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                        const std::vector<std::string>& iens);
// The reader of an existing record, for a procedure that reads its fields next: the reader
// tells whether the record exists with the node it reads anyway (RecordReader::Exists).
RecordReader RequireRecordReader(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                                 const std::vector<std::string>& iens, CivilDate today);

// The user's right to do `right` with the records of `file`, whatever the client shows.
enum class Right { Read, Write, Delete, Add };
void RequireRight(const FileAccess& access, Right right, const FileDef& file);

// "record 12", "record 3,12" (sub-file records name their parents).
std::string RecordTitle(const std::vector<std::string>& iens);

// A value may not hold "^" (it separates pieces) nor control characters (a line break would
// split a reply line).
bool HoldsCaret(std::string_view value);
bool HoldsControlCharacter(std::string_view value);

// Entry `subscript` of the call's list parameter 0 (the named arguments of a record
// procedure), "" when it is absent or parameter 0 is no list.
std::string Argument(const Call& call, std::string_view subscript);

}  // namespace vorn::devserver
