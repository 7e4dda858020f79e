// Reading the fields of one record the way the record procedures show them: the internal value,
// the external value, computed fields evaluated for a given day, word-processing text. Each node
// of the record is read from the store once, however many fields share it (a ten-field record
// whose fields sit in node 0 costs one read, not ten).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "devserver/files/dictionary.h"
#include "devserver/m/fm_dates.h"
#include "devserver/storage/global_store.h"

namespace vorn::devserver {

class RecordReader {
  public:
    // `record` is the record node of `file`, `ien` its own number.
    RecordReader(GlobalStore& store, const Dictionary& dict, const FileDef& file, GlobalRef record,
                 std::string ien, CivilDate today);

    // Whether the record exists ($DATA of its node is not 0). Node 0, which holds the .01 field
    // of nearly every record and is kept for the fields read next, answers it without a query
    // of its own when it is there.
    bool Exists();
    // The stored value; for computed fields the computed value; for ".001" the record number.
    std::string Internal(const FieldDef& field);
    std::string Internal(std::string_view fieldNumber);
    // The value as users read it (set texts, dates, pointed .01 values).
    std::string External(const FieldDef& field);
    std::vector<std::string> Text(const FieldDef& field);
    // The .01 value and the identifier fields, external and joined by blanks (empty ones left
    // out): what pick lists and record texts show.
    std::string Identifiers();

    const GlobalRef& record() const { return record_; }
    const FileDef& file() const { return file_; }

  private:
    const std::optional<std::string>& Node(const std::string& node);

    GlobalStore& store_;
    const Dictionary& dict_;
    const FileDef& file_;
    GlobalRef record_;
    std::string ien_;
    CivilDate today_;
    std::map<std::string, std::optional<std::string>> nodes_;
};

// The record text of any record of a file (RecordReader::Identifiers), "" when it is missing.
std::string RecordText(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                       const std::vector<std::string>& iens, const CivilDate& today);

}  // namespace vorn::devserver
