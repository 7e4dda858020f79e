// Whether a value is good for a field, and its internal and external form. Values reach the
// server in two forms: as a user typed them ("DDR VALIDATOR": "12/6/2026", "YES", the start of
// a person's name) and in the internal form the filer stores ("3261206", "1", "12"). Both are
// checked against the field's type and parameters with the same rules:
//
//   F  free text: its length within the field's range (245 at most), no "^", no control
//      characters
//   N  a number within the range, with at most the field's decimals; stored canonic ("7" for
//      "007.0")
//   D  typed: the forms of ParseDateInput; stored: YYYMMDD
//   S  typed: a code, or a unique beginning of a code's text (ignoring case); stored: a code
//   P  typed: "`n", the pointed .01 value or a unique beginning of it (RecordLookup); stored:
//      the number of an existing record of the pointed file
//   V  typed: as P in every file the field may point to, optionally narrowed by a file name and
//      "." ("DEMO SPECIMEN.EXT"); stored: "n;ROOT," of an existing record
//   W  one line of text: at most 245 characters, no control characters
//   C, M  never: computed fields and multiples are not filed through a value
//
// An empty value is always valid (internal and external empty). "@" (typed) deletes: valid on a
// field that is not required, and on .01 of a stored record, where it deletes the record.
#pragma once

#include <string>
#include <string_view>

#include "devserver/files/dictionary.h"
#include "devserver/m/fm_dates.h"
#include "devserver/storage/global_store.h"

namespace vorn::devserver {

// Longest line a text field or a word-processing line may hold.
inline constexpr std::size_t kMaxLineLength = 245;

struct ValueCheck {
    bool valid = false;
    std::string internal;
    std::string external;
    std::string reason;  // why not, when not valid

    static ValueCheck Valid(std::string internal, std::string external);
    static ValueCheck Invalid(std::string reason);
};

class Validator {
  public:
    Validator(GlobalStore& store, const Dictionary& dict, CivilDate today);

    // What a user typed. `storedRecord`: the value is for a record that is on file (not "+1,").
    ValueCheck Typed(const FileDef& file, const FieldDef& field, std::string_view text,
                     bool storedRecord);
    // A value in internal form, as the filer receives it ("@" is the filer's business).
    ValueCheck Stored(const FileDef& file, const FieldDef& field, std::string_view value);

  private:
    ValueCheck Text(const FieldDef& field, std::string_view text);
    ValueCheck Number(const FieldDef& field, std::string_view text);
    ValueCheck TypedCode(const FieldDef& field, std::string_view text);
    ValueCheck TypedPointer(const FieldDef& field, std::string_view text);
    ValueCheck TypedVariablePointer(const FieldDef& field, std::string_view text);
    ValueCheck Line(const FieldDef& field, std::string_view text);
    ValueCheck NotFiled(const FieldDef& field);

    GlobalStore& store_;
    const Dictionary& dict_;
    CivilDate today_;
};

}  // namespace vorn::devserver
