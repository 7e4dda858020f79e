#include "devserver/procedures/record_lookup.h"

#include "devserver/files/file_records.h"
#include "devserver/m/text.h"
#include "devserver/procedures/record_request.h"

namespace vorn::devserver {
namespace {

// The records under one file root, then (for a nested file) under every record of each level.
bool WalkRoot(GlobalStore& store, const GlobalRef& root, std::vector<std::string>& outer,
              const std::function<bool(const std::vector<std::string>&, const GlobalRef&)>& visit) {
    for (std::string ien = store.Order(root.Child("0")); IsRecordNumberText(ien);
         ien = store.Order(root.Child(ien))) {
        std::vector<std::string> iens{ien};
        iens.insert(iens.end(), outer.begin(), outer.end());
        if (!visit(iens, root.Child(ien))) return false;
    }
    return true;
}

bool WalkFile(GlobalStore& store, const Dictionary& dict, const FileDef& file,
              std::vector<std::string>& outer,
              const std::function<bool(const std::vector<std::string>&, const GlobalRef&)>& visit) {
    if (!file.IsSubfile()) return WalkRoot(store, file.root, outer, visit);
    const FileDef* parent = dict.File(file.parent);
    const FieldDef* holder = parent ? parent->Field(file.parentField) : nullptr;
    if (!holder) return true;
    return WalkFile(store, dict, *parent, outer,
                    [&](const std::vector<std::string>& parentIens, const GlobalRef& record) {
                        std::vector<std::string> chain = parentIens;
                        return WalkRoot(store, record.Child(holder->node), chain, visit);
                    });
}

}  // namespace

bool IsRecordNumberText(std::string_view text) {
    return !text.empty() && IsCanonicNumber(text) && text[0] != '-' && text != "0";
}

void ForEachRecord(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                   const std::function<bool(const std::vector<std::string>& iens,
                                            const GlobalRef& record)>& visit) {
    std::vector<std::string> outer;
    WalkFile(store, dict, file, outer, visit);
}

LookupResult LookUpRecord(GlobalStore& store, const Dictionary& dict, const FileDef& file,
                          std::string_view typed) {
    LookupResult result;
    const FieldDef* dotOne = file.Field(".01");
    if (!dotOne || file.IsSubfile() || typed.empty()) return result;
    auto textOf = [&](const GlobalRef& record) {
        return ExternalValue(store, dict, *dotOne, GetFieldValue(store, record, *dotOne));
    };
    if (typed.front() == '`') {
        const std::string ien(typed.substr(1));
        const auto record = RecordRef(dict, file, {ien});
        if (IsRecordNumberText(ien) && record && RecordExists(store, *record)) {
            result.exact = true;
            result.matches.push_back({ien, textOf(*record)});
        }
        return result;
    }
    const std::string wanted = Upper(typed);
    std::vector<LookupMatch> exact, prefix;
    ForEachRecord(store, dict, file, [&](const std::vector<std::string>& iens, const GlobalRef& r) {
        const std::string text = textOf(r);
        const std::string upper = Upper(text);
        if (upper == wanted)
            exact.push_back({iens.front(), text});
        else if (upper.compare(0, wanted.size(), wanted) == 0)
            prefix.push_back({iens.front(), text});
        return true;
    });
    if (!exact.empty()) {
        result.exact = true;
        result.matches = std::move(exact);
    } else if (!prefix.empty()) {
        result.matches = std::move(prefix);
    } else if (IsRecordNumberText(typed)) {
        const auto record = RecordRef(dict, file, {std::string(typed)});
        if (record && RecordExists(store, *record)) {
            result.exact = true;
            result.matches.push_back({std::string(typed), textOf(*record)});
        }
    }
    return result;
}

}  // namespace vorn::devserver
