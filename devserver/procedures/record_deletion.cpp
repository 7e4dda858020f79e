#include "devserver/procedures/record_deletion.h"

#include <set>

#include "devserver/files/file_records.h"
#include "devserver/procedures/record_lookup.h"
#include "devserver/procedures/record_request.h"

namespace vorn::devserver {
namespace {

bool PointsInto(const Dictionary& dict, const FieldDef& field, const FileDef& target) {
    if (field.type == FieldType::Pointer) return dict.File(field.pointsTo) == &target;
    if (field.type == FieldType::VariablePointer)
        for (const std::string& f : field.variableFiles)
            if (dict.File(f) == &target) return true;
    return false;
}

const IndexDef* InternalIndexOn(const FileDef& file, const FieldDef& field) {
    for (const IndexDef& index : file.indexes)
        if (index.internal && FieldKey(index.field) == field.number) return &index;
    return nullptr;
}

std::string Count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::vector<PointingRecord> FindPointersTo(GlobalStore& store, const Dictionary& dict,
                                           const FileDef& target, const std::string& ien) {
    std::vector<PointingRecord> found;
    if (target.IsSubfile()) return found;  // pointers lead to top-level records only
    for (const FileDef* file : dict.Files()) {
        for (const FieldDef& field : file->fields) {
            if (!PointsInto(dict, field, target)) continue;
            const std::string value =
                field.type == FieldType::VariablePointer ? VariablePointerText(target, ien) : ien;
            auto add = [&](const std::vector<std::string>& iens, const GlobalRef& record) {
                if (GetFieldValue(store, record, field) == value)
                    found.push_back({file, &field, iens});
                return true;
            };
            const IndexDef* index = file->IsSubfile() ? nullptr : InternalIndexOn(*file, field);
            if (!index) {
                ForEachRecord(store, dict, *file, add);
                continue;
            }
            std::string key = value.substr(0, kIndexValueLength);
            const GlobalRef entries = file->root.Child(index->name).Child(key);
            for (std::string n = store.Order(entries.Child("")); !n.empty();
                 n = store.Order(entries.Child(n)))
                if (IsRecordNumberText(n)) add({n}, file->root.Child(n));
        }
    }
    return found;
}

std::string DeleteRecord(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                         const std::vector<std::string>& iens, const LockedByOther& locked) {
    const GlobalRef record = RequireRecord(store, dict, file, iens);
    const FieldDef* dotOne = file.Field(".01");
    const std::string text =
        dotOne ? ExternalValue(store, dict, *dotOne, GetFieldValue(store, record, *dotOne)) : "";
    const std::string what = RecordTitle(iens) + " of file " + FileTitle(file);
    if (locked && locked(file, iens))
        throw RequestError("The " + what + " is being edited by another user.");

    const std::vector<PointingRecord> pointers = FindPointersTo(store, dict, file, iens.front());
    for (const PointingRecord& p : pointers) {
        if (p.field->required) {
            std::set<std::vector<std::string>> records;
            for (const PointingRecord& q : pointers)
                if (q.file == p.file && q.field == p.field) records.insert(q.iens);
            throw RequestError("The " + what + " cannot be deleted: " +
                               Count(records.size(), "record", "records") + " of file " +
                               FileTitle(*p.file) + (records.size() == 1 ? " points" : " point") +
                               " to it through the required field " + FieldTitle(*p.field) + ".");
        }
        if (locked && locked(*p.file, p.iens))
            throw RequestError("The " + what + " cannot be deleted now: " + RecordTitle(p.iens) +
                               " of file " + FileTitle(*p.file) +
                               ", which points to it, is being edited by another user.");
    }
    for (const PointingRecord& p : pointers) {
        const auto pointing = RecordRef(dict, *p.file, p.iens);
        if (!pointing) continue;
        const GlobalRef root = pointing->Parent();
        RemoveIndexEntries(store, dict, *p.file, root, p.iens.front());
        SetFieldValue(store, *pointing, *p.field, "");
        AddIndexEntries(store, dict, *p.file, root, p.iens.front());
    }

    const GlobalRef root = record.Parent();
    RemoveIndexEntries(store, dict, file, root, iens.front());
    store.Kill(record);
    FileHeader header = ReadHeader(store, root);
    if (header.count > 0) --header.count;
    WriteHeader(store, file, root, header);
    return text;
}

}  // namespace vorn::devserver
