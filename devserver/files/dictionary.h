// The data dictionary: files, sub-files, fields, indexes and identifiers, loaded from
// devserver/data/dictionary.vdd (format: see devserver/README.md). Read-only once loaded, so
// every session shares one instance without locking.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "devserver/storage/global_store.h"

namespace vorn::devserver {

// One-letter type codes, as "VRNX DDU FIELDS" reports them.
enum class FieldType : char {
    FreeText = 'F',
    Numeric = 'N',
    Date = 'D',
    SetOfCodes = 'S',
    Pointer = 'P',
    WordProcessing = 'W',
    VariablePointer = 'V',
    Computed = 'C',
    Multiple = 'M',
};

struct SetCode {
    std::string code;
    std::string text;
};

struct FieldDef {
    std::string file;    // the file (or sub-file) number it belongs to
    std::string number;  // ".01", "2", "901"
    std::string label;
    FieldType type = FieldType::FreeText;
    // Where the value lives in the record: node and "^"-piece. Word-processing and multiple
    // fields take the whole node (piece 0); computed fields have no storage (empty node).
    std::string node;
    int piece = 0;
    bool required = false;
    std::string help;                      // the help prompt, one line
    std::vector<std::string> description;  // description lines
    // Type parameters.
    int minLength = 0, maxLength = 0;        // F: length of the text
    std::string minValue, maxValue;          // N: range (canonic numbers)
    int decimals = 0;                        // N: digits allowed after the point
    std::vector<SetCode> codes;              // S: in dictionary order
    std::string pointsTo;                    // P: the pointed file
    bool laygo = false;                      // P: new entries may be added through the pointer
    std::string screen;                      // P: M screen on the records it may point to
    std::vector<std::string> variableFiles;  // V: the files it may point into
    std::string subfile;                     // M: the sub-file
    std::string computed;                    // C: the formula ("YEARS SINCE 4")

    // "node;piece" as it is reported ("0;1", "TYPE;1", "2;0"; "" for computed fields).
    std::string Location() const;
    // The text of a set code, or nullptr.
    const SetCode* Code(std::string_view code) const;
    bool IsStored() const { return !node.empty(); }
};

struct IndexDef {
    std::string name;       // "B", "C"
    std::string field;      // the indexed field
    bool internal = false;  // holds internal values (pointers: the record number) else external
};

struct FileDef {
    std::string number;
    std::string name;
    // Top-level files: the global root, ^ZDEMO(80001, as GlobalRef{"ZDEMO", {"80001"}}.
    GlobalRef root;
    // Sub-files: the parent file and the multiple field of the parent that holds them; their
    // records live under that field's node of a parent record.
    std::string parent;
    std::string parentField;
    std::vector<std::string> description;
    std::vector<FieldDef> fields;  // in field-number order
    std::vector<IndexDef> indexes;
    std::vector<std::string> identifiers;  // fields shown after the .01 value
    bool readOnly = false;                 // no user may write, add or delete

    bool IsSubfile() const { return !parent.empty(); }
    const FieldDef* Field(std::string_view number) const;
    const IndexDef* Index(std::string_view name) const;
};

class Dictionary {
  public:
    // Throws SectionFileError naming the file and line of what is wrong.
    static std::shared_ptr<const Dictionary> Load(const std::string& path);
    static std::shared_ptr<const Dictionary> Parse(std::istream& in, const std::string& source);

    // nullptr for an unknown number. Numbers are compared as canonic numbers ("80001.020"
    // and "80001.02" are the same file).
    const FileDef* File(std::string_view number) const;
    const FieldDef* Field(std::string_view file, std::string_view field) const;
    // Every file and sub-file in number order; the top-level ones only.
    std::vector<const FileDef*> Files() const;
    std::vector<const FileDef*> TopLevelFiles() const;
    // The top-level file a (sub-)file belongs to, and how many levels it lies below it.
    const FileDef& TopLevel(const FileDef& file) const;
    int Depth(const FileDef& file) const;

  private:
    // By the collation key of the number (collation.h): in number order, and a look-up encodes
    // the number asked for once instead of both numbers at every comparison.
    std::map<std::string, FileDef, std::less<>> files_;
    static std::string Key(std::string_view number);
    void Check(const std::string& source) const;
};

// A field number in the canonic form the dictionary keys it by (".010" -> ".01").
std::string FieldKey(std::string_view number);

}  // namespace vorn::devserver
