#include "devserver/files/file_records.h"

#include "devserver/m/fm_dates.h"
#include "devserver/m/text.h"

namespace vorn::devserver {
namespace {

bool IsRecordNumber(std::string_view s) {
    if (s.empty() || !IsCanonicNumber(s) || s[0] == '-') return false;
    return s != "0";
}

std::string RootText(const GlobalRef& root) {
    std::string out = root.name + "(";
    for (const auto& s : root.subscripts)
        out += SubscriptText(s) + ",";
    return out;
}

const FieldDef* PointedDotOne(const Dictionary& dict, const FileDef* file) {
    return file ? file->Field(".01") : nullptr;
}

std::string PointedExternal(GlobalStore& store, const Dictionary& dict, const FileDef* file,
                            std::string_view ien, int depth) {
    if (!file || file->IsSubfile() || !IsRecordNumber(ien) || depth > 8) return {};
    const FieldDef* dotOne = PointedDotOne(dict, file);
    const auto record = RecordRef(dict, *file, {std::string(ien)});
    if (!dotOne || !record) return {};
    // The .01 field's node, read anyway, also says that the record exists when it is there.
    std::optional<std::string> node;
    if (dotOne->IsStored()) node = store.Get(record->Child(dotOne->node));
    if (!node && !RecordExists(store, *record)) return {};
    const std::string value =
        node && dotOne->piece >= 1 ? Piece(*node, '^', dotOne->piece) : std::string();
    if (dotOne->type == FieldType::Pointer)
        return PointedExternal(store, dict, dict.File(dotOne->pointsTo), value, depth + 1);
    if (dotOne->type == FieldType::VariablePointer) {
        const auto vp = ParseVariablePointer(dict, *dotOne, value);
        return vp ? PointedExternal(store, dict, vp->file, vp->ien, depth + 1) : std::string();
    }
    return ExternalValue(store, dict, *dotOne, value);
}

}  // namespace

std::optional<std::vector<std::string>> ParseIens(std::string_view iens, bool placeholders) {
    if (!iens.empty() && iens.front() == ',') iens.remove_prefix(1);
    if (iens.empty() || iens.back() != ',') return std::nullopt;
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < iens.size()) {
        const auto comma = iens.find(',', start);
        std::string number(iens.substr(start, comma - start));
        const bool placeholder = placeholders && number.size() > 1 && number[0] == '+' &&
                                 IsRecordNumber(number.substr(1));
        if (!placeholder && !IsRecordNumber(number)) return std::nullopt;
        out.push_back(std::move(number));
        start = comma + 1;
    }
    return out;
}

std::string JoinIens(const std::vector<std::string>& iens) {
    std::string out;
    for (const auto& n : iens)
        out += n + ",";
    return out;
}

std::string RecordAddress(const std::vector<std::string>& iens) {
    std::string out = JoinIens(iens);
    if (!out.empty()) out.pop_back();
    return out;
}

std::optional<GlobalRef> FileRoot(const Dictionary& dict, const FileDef& file,
                                  const std::vector<std::string>& parentIens) {
    if (!file.IsSubfile()) {
        if (!parentIens.empty()) return std::nullopt;
        return file.root;
    }
    const FileDef* parent = dict.File(file.parent);
    const FieldDef* holder = parent ? parent->Field(file.parentField) : nullptr;
    if (!holder) return std::nullopt;
    const auto record = RecordRef(dict, *parent, parentIens);
    if (!record) return std::nullopt;
    return record->Child(holder->node);
}

std::optional<GlobalRef> RecordRef(const Dictionary& dict, const FileDef& file,
                                   const std::vector<std::string>& iens) {
    if (iens.empty() || static_cast<int>(iens.size()) != dict.Depth(file) + 1) return std::nullopt;
    if (!IsRecordNumber(iens[0])) return std::nullopt;
    const auto root = FileRoot(dict, file, std::vector<std::string>(iens.begin() + 1, iens.end()));
    if (!root) return std::nullopt;
    return root->Child(iens[0]);
}

FileHeader ReadHeader(GlobalStore& store, const GlobalRef& fileRoot) {
    const std::string header = store.GetOr(fileRoot.Child("0"));
    FileHeader h;
    const std::string last = Piece(header, '^', 3), count = Piece(header, '^', 4);
    if (IsRecordNumber(last)) h.last = std::stol(last);
    if (IsRecordNumber(count)) h.count = std::stol(count);
    return h;
}

void WriteHeader(GlobalStore& store, const FileDef& file, const GlobalRef& fileRoot,
                 const FileHeader& header) {
    const std::string name = file.IsSubfile() ? "" : file.name;
    store.Set(fileRoot.Child("0"), name + "^" + file.number + "^" + std::to_string(header.last) +
                                       "^" + std::to_string(header.count));
}

bool RecordExists(GlobalStore& store, const GlobalRef& record) {
    return store.Data(record) != 0;
}

std::string GetFieldValue(GlobalStore& store, const GlobalRef& record, const FieldDef& field) {
    if (!field.IsStored() || field.piece < 1) return {};
    const auto node = store.Get(record.Child(field.node));
    return node ? Piece(*node, '^', field.piece) : std::string();
}

void SetFieldValue(GlobalStore& store, const GlobalRef& record, const FieldDef& field,
                   std::string_view value) {
    if (!field.IsStored() || field.piece < 1)
        throw StoreError("field " + field.number + " of file " + field.file + " has no piece");
    const GlobalRef node = record.Child(field.node);
    const std::string updated = SetPiece(store.GetOr(node), '^', field.piece, value);
    if (updated.find_first_not_of('^') == std::string::npos && store.Data(node) < 10)
        store.Kill(node);
    else
        store.Set(node, updated);
}

std::vector<std::string> GetWordProcessing(GlobalStore& store, const GlobalRef& record,
                                           const FieldDef& field) {
    std::vector<std::string> lines;
    const GlobalRef node = record.Child(field.node);
    for (std::string line = store.Order(node.Child("0")); !line.empty() && IsRecordNumber(line);
         line = store.Order(node.Child(line)))
        lines.push_back(store.GetOr(node.Child(line).Child("0")));
    return lines;
}

void SetWordProcessing(GlobalStore& store, const GlobalRef& record, const FieldDef& field,
                       const std::vector<std::string>& lines, std::string_view date) {
    const GlobalRef node = record.Child(field.node);
    store.Kill(node);
    if (lines.empty()) return;
    const std::string n = std::to_string(lines.size());
    store.Set(node.Child("0"), "^^" + n + "^" + n + "^" + std::string(date) + "^");
    for (std::size_t i = 0; i < lines.size(); ++i)
        store.Set(node.Child(std::to_string(i + 1)).Child("0"), lines[i]);
}

std::string IndexValue(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                       const IndexDef& index, const GlobalRef& record) {
    const FieldDef* field = file.Field(index.field);
    if (!field) return {};
    const std::string internal = GetFieldValue(store, record, *field);
    std::string value = index.internal ? internal : ExternalValue(store, dict, *field, internal);
    if (value.size() > kIndexValueLength) value.resize(kIndexValueLength);
    return value;
}

void AddIndexEntries(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                     const GlobalRef& fileRoot, const std::string& ien) {
    const GlobalRef record = fileRoot.Child(ien);
    for (const IndexDef& index : file.indexes) {
        const std::string value = IndexValue(store, dict, file, index, record);
        if (!value.empty()) store.Set(fileRoot.Child(index.name).Child(value).Child(ien), "");
    }
}

void RemoveIndexEntries(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                        const GlobalRef& fileRoot, const std::string& ien) {
    const GlobalRef record = fileRoot.Child(ien);
    for (const IndexDef& index : file.indexes) {
        const std::string value = IndexValue(store, dict, file, index, record);
        if (!value.empty()) store.Kill(fileRoot.Child(index.name).Child(value).Child(ien));
    }
}

void Reindex(GlobalStore& store, const Dictionary& dict, const FileDef& file,
             const GlobalRef& fileRoot) {
    for (const IndexDef& index : file.indexes)
        store.Kill(fileRoot.Child(index.name));
    for (std::string ien = store.Order(fileRoot.Child("0")); IsRecordNumber(ien);
         ien = store.Order(fileRoot.Child(ien)))
        AddIndexEntries(store, dict, file, fileRoot, ien);
}

std::optional<VariablePointerValue> ParseVariablePointer(const Dictionary& dict,
                                                         const FieldDef& field,
                                                         std::string_view internal) {
    const auto semi = internal.find(';');
    if (semi == std::string_view::npos) return std::nullopt;
    const std::string ien(internal.substr(0, semi));
    const std::string_view root = internal.substr(semi + 1);
    if (!IsRecordNumber(ien)) return std::nullopt;
    for (const std::string& number : field.variableFiles) {
        const FileDef* f = dict.File(number);
        if (f && RootText(f->root) == root) return VariablePointerValue{f, ien};
    }
    return std::nullopt;
}

std::string VariablePointerText(const FileDef& file, std::string_view ien) {
    return std::string(ien) + ";" + RootText(file.root);
}

std::string ExternalValue(GlobalStore& store, const Dictionary& dict, const FieldDef& field,
                          std::string_view internal) {
    if (internal.empty()) return {};
    switch (field.type) {
        case FieldType::SetOfCodes: {
            const SetCode* code = field.Code(internal);
            return code ? code->text : std::string(internal);
        }
        case FieldType::Date: {
            const std::string external = ExternalDate(internal);
            return external.empty() ? std::string(internal) : external;
        }
        case FieldType::Pointer:
            return PointedExternal(store, dict, dict.File(field.pointsTo), internal, 0);
        case FieldType::VariablePointer: {
            const auto vp = ParseVariablePointer(dict, field, internal);
            return vp ? PointedExternal(store, dict, vp->file, vp->ien, 0) : std::string();
        }
        default:
            return std::string(internal);
    }
}

std::string ComputedValue(GlobalStore& store, const FileDef& file, const FieldDef& field,
                          const GlobalRef& record, const CivilDate& today) {
    const std::vector<std::string> words = Words(field.computed);
    if (words.size() >= 3 && words[0] == "YEARS" && words[1] == "SINCE") {
        const FieldDef* source = file.Field(words[2]);
        if (!source) return {};
        const auto date = ParseInternalDate(GetFieldValue(store, record, *source));
        if (!date || date->month == 0) return {};
        return std::to_string(WholeYearsBetween(*date, today));
    }
    return {};
}

}  // namespace vorn::devserver
