#include "devserver/procedures/logical_pointer_procedures.h"

#include <algorithm>

#include "devserver/files/file_records.h"
#include "devserver/net/session.h"
#include "devserver/procedures/list_request.h"

namespace vorn::devserver {
namespace {

struct SortedRecord {
    std::string key;
    std::string ien;
};

// Empty values first, then M order (numbers numerically, then text); then the record number.
int CompareSorted(const SortedRecord& a, const SortedRecord& b) {
    if (a.key != b.key) {
        if (a.key.empty()) return -1;
        if (b.key.empty()) return 1;
        const int c = CompareSubscripts(a.key, b.key);
        if (c != 0) return c;
    }
    return CompareSubscripts(a.ien, b.ien);
}

ListField SortField(const FileDef& file, const std::string& number) {
    const std::string wanted = number.empty() ? ".01" : number;
    if (wanted == ".001") return {wanted, nullptr};
    const FieldDef* def = file.Field(wanted);
    if (!def)
        throw ListingError("Field " + wanted + " does not exist in file " + file.number + ".");
    if (def->type == FieldType::WordProcessing || def->type == FieldType::Multiple)
        throw ListingError("Field " + wanted + " of file " + file.number + " cannot be sorted on.");
    return {def->number, def};
}

// "ien;key": where the previous batch ended.
SortedRecord ReadContinuation(const std::string& text) {
    const auto semi = text.find(';');
    const std::string ien = text.substr(0, semi);
    if (semi == std::string::npos || ien.empty() || !IsCanonicNumber(ien))
        throw ListingError("FROM \"" + text + "\" is not a continuation of this listing.");
    return {text.substr(semi + 1), ien};
}

Reply LogicalPointer(Session& session, const Call& call) {
    try {
        const Param& list = ListParameter(call);
        const GlobalStore::ReadTransaction snapshot(session.store());
        ListRequest request(session.store());
        ReadListRequest(session, list, "I", request);
        const IndexDef& index = RequireIndex(*request.file, list.Get("XREF"));
        const std::string master = list.Get("IEN");
        if (master.empty()) throw ListingError("The master record (IEN) is missing.");
        const ListField sortField = SortField(*request.file, list.Get("SORT"));
        const std::string direction = list.Get("SORTDIR");
        if (!direction.empty() && direction != "DESC" && direction != "ASC")
            throw ListingError("SORTDIR is \"DESC\" or \"ASC\", not \"" + direction + "\".");
        const bool descending = direction == "DESC";
        std::optional<SortedRecord> after;
        if (const std::string from = list.Get("FROM"); !from.empty())
            after = ReadContinuation(from);

        GlobalStore& store = session.store();
        const GlobalRef entries = request.fileRoot.Child(index.name).Child(master);
        std::vector<SortedRecord> records;
        for (std::string ien = store.Order(entries.Child("")); !ien.empty();
             ien = store.Order(entries.Child(ien))) {
            if (!RecordPasses(store, request, ien)) continue;
            const GlobalRef record = request.fileRoot.Child(ien);
            const bool byInternal = sortField.def && sortField.def->type == FieldType::Date;
            records.push_back(
                {ListedValue(session, *request.file, sortField, record, ien, byInternal), ien});
        }
        auto inOrder = [&](const SortedRecord& a, const SortedRecord& b) {
            const int c = CompareSorted(a, b);
            return descending ? c > 0 : c < 0;
        };
        std::sort(records.begin(), records.end(), inOrder);
        auto first = records.begin();
        if (after) first = std::upper_bound(records.begin(), records.end(), *after, inOrder);

        std::vector<std::string> lines;
        std::optional<std::string> more;
        for (auto it = first; it != records.end(); ++it) {
            if (request.max && static_cast<long>(lines.size()) >= *request.max) {
                const SortedRecord& last = *(it - 1);
                more = "MORE^^" + last.ien + ";" + last.key;
                break;
            }
            lines.push_back(RecordLine(session, request, it->ien, request.Flag('I')));
        }
        return ListingReply(more, std::move(lines));
    } catch (const ListingError& e) {
        return ErrorReply(e.what());
    }
}

}  // namespace

void RegisterLogicalPointerProcedures(ProcedureRegistry& registry) {
    registry.Add("VRNX LOGICAL POINTER", Access::Application, LogicalPointer);
}

}  // namespace vorn::devserver
