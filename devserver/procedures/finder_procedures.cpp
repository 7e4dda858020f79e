#include "devserver/procedures/finder_procedures.h"

#include <memory>

#include "devserver/files/file_records.h"
#include "devserver/files/index_walk.h"
#include "devserver/m/text.h"
#include "devserver/net/session.h"
#include "devserver/procedures/list_request.h"

namespace vorn::devserver {
namespace {

std::vector<const IndexDef*> SearchedIndexes(const ListRequest& request, const std::string& xref) {
    std::vector<const IndexDef*> indexes;
    auto add = [&](const IndexDef* index) {
        for (const IndexDef* known : indexes)
            if (known == index) return;
        indexes.push_back(index);
    };
    for (const std::string& name : SplitText(xref, '^'))
        if (!name.empty()) add(&RequireIndex(*request.file, name));
    if (request.Flag('M')) {
        for (const IndexDef& index : request.file->indexes)
            add(&index);
    } else if (indexes.empty()) {
        add(&RequireIndex(*request.file, "B"));
    }
    if (indexes.empty())
        throw ListingError("File " + request.file->number + " has no index to search.");
    return indexes;
}

Reply Finder(Session& session, const Call& call) {
    try {
        const Param& list = ListParameter(call);
        const GlobalStore::ReadTransaction snapshot(session.store());
        ListRequest request(session.store());
        ReadListRequest(session, list, "IBMP", request);
        const std::vector<const IndexDef*> indexes = SearchedIndexes(request, list.Get("XREF"));
        const std::string value = list.Has("VALUE") ? list.Get("VALUE") : list.Get("PART");
        const bool backwards = request.Flag('B');

        IndexWalkOptions options;
        options.backwards = backwards;
        options.prefix = value;
        options.ignoreCase = true;
        // A few entries over: a lookup ignoring case passes from one spelling to the next, and
        // each jump reads afresh.
        ReadForBatch(session, request, options, 4);
        const std::string from = list.Get("FROM");
        if (!from.empty()) options.after = IndexEntry{from, list.Get(Subscripts{"FROM", "IEN"})};
        std::vector<std::unique_ptr<IndexWalk>> walks;
        std::vector<std::optional<IndexEntry>> heads;
        for (const IndexDef* index : indexes) {
            walks.push_back(std::make_unique<IndexWalk>(
                session.store(), request.fileRoot.Child(index->name), options));
            heads.push_back(walks.back()->Next());
        }
        // In walk order: (value, record) ascending, or descending backwards.
        auto before = [&](const IndexEntry& a, const IndexEntry& b) {
            const int c = CompareEntries(a, b);
            return backwards ? c > 0 : c < 0;
        };

        std::size_t sourceIndex = 0;
        auto next = [&]() -> std::optional<IndexEntry> {
            std::optional<std::size_t> best;
            for (std::size_t i = 0; i < heads.size(); ++i)
                if (heads[i] && (!best || before(*heads[i], *heads[*best]))) best = i;
            if (!best) return std::nullopt;
            std::optional<IndexEntry> entry = std::move(heads[*best]);
            heads[*best] = walks[*best]->Next();
            sourceIndex = *best;
            return entry;
        };
        // A record that an index earlier in walk order also matches was (or will be) listed
        // there.
        auto listedElsewhere = [&](const IndexEntry& e) {
            if (indexes.size() < 2) return false;
            const GlobalRef record = request.fileRoot.Child(e.ien);
            for (std::size_t j = 0; j < indexes.size(); ++j) {
                if (j == sourceIndex) continue;
                const std::string other = IndexValue(session.store(), session.dictionary(),
                                                     *request.file, *indexes[j], record);
                if (other.empty() || !BeginsWith(other, value, true)) continue;
                const IndexEntry there{other, e.ien};
                if (before(there, e) || (CompareEntries(there, e) == 0 && j < sourceIndex))
                    return true;
            }
            return false;
        };
        const Batch batch = CollectBatch(request.max, next, [&](const IndexEntry& e) {
            return !listedElsewhere(e) && RecordPasses(session.store(), request, e.ien);
        });
        return BatchReply(session, request, batch);
    } catch (const ListingError& e) {
        return ErrorReply(e.what());
    }
}

}  // namespace

void RegisterFinderProcedures(ProcedureRegistry& registry) {
    registry.Add("VRNX FINDER", Access::Application, Finder);
}

}  // namespace vorn::devserver
