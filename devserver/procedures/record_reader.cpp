#include "devserver/procedures/record_reader.h"

#include "devserver/files/file_records.h"

namespace vorn::devserver {

RecordReader::RecordReader(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                           GlobalRef record, std::string ien, CivilDate today)
    : store_(store),
      dict_(dict),
      file_(file),
      record_(std::move(record)),
      ien_(std::move(ien)),
      today_(today) {}

const std::optional<std::string>& RecordReader::Node(const std::string& node) {
    auto it = nodes_.find(node);
    if (it == nodes_.end()) it = nodes_.emplace(node, store_.Get(record_.Child(node))).first;
    return it->second;
}

bool RecordReader::Exists() {
    return Node("0").has_value() || store_.Data(record_) != 0;
}

std::string RecordReader::Internal(const FieldDef& field) {
    if (field.type == FieldType::Computed)
        return ComputedValue(store_, file_, field, record_, today_);
    if (!field.IsStored() || field.piece < 1) return {};
    const auto& node = Node(field.node);
    return node ? Piece(*node, '^', field.piece) : std::string();
}

std::string RecordReader::Internal(std::string_view fieldNumber) {
    if (FieldKey(fieldNumber) == ".001") return ien_;
    const FieldDef* field = file_.Field(fieldNumber);
    return field ? Internal(*field) : std::string();
}

std::string RecordReader::External(const FieldDef& field) {
    const std::string internal = Internal(field);
    if (field.type == FieldType::Computed) return internal;
    return ExternalValue(store_, dict_, field, internal);
}

std::vector<std::string> RecordReader::Text(const FieldDef& field) {
    return GetWordProcessing(store_, record_, field);
}

std::string RecordReader::Identifiers() {
    std::string text;
    auto add = [&](const FieldDef* field) {
        if (!field) return;
        const std::string value = External(*field);
        if (value.empty()) return;
        if (!text.empty()) text += ' ';
        text += value;
    };
    add(file_.Field(".01"));
    for (const std::string& id : file_.identifiers)
        add(file_.Field(id));
    return text;
}

std::string RecordText(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                       const std::vector<std::string>& iens, const CivilDate& today) {
    const auto record = RecordRef(dict, file, iens);
    if (!record) return {};
    RecordReader reader(store, dict, file, *record, iens.front(), today);
    return reader.Exists() ? reader.Identifiers() : std::string();
}

}  // namespace vorn::devserver
