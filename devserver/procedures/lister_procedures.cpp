#include "devserver/procedures/lister_procedures.h"

#include "devserver/files/index_walk.h"
#include "devserver/net/session.h"
#include "devserver/procedures/list_request.h"

namespace vorn::devserver {
namespace {

Reply Lister(Session& session, const Call& call) {
    try {
        const Param& list = ListParameter(call);
        const GlobalStore::ReadTransaction snapshot(session.store());
        ListRequest request(session.store());
        ReadListRequest(session, list, "IBP", request);
        const IndexDef& index = RequireIndex(*request.file, list.Get("XREF"));

        IndexWalkOptions options;
        options.backwards = request.Flag('B');
        options.prefix = list.Get("PART");
        const std::string from = list.Get("FROM");
        if (!from.empty()) options.after = IndexEntry{from, list.Get(Subscripts{"FROM", "IEN"})};
        // The records come in the index's order: MAX and the one that tells whether more
        // follow. Each entry read costs a GT.M engine about as much as a record's first node.
        ReadForBatch(session, request, options, 1);
        IndexWalk walk(session.store(), request.fileRoot.Child(index.name), options);

        const Batch batch = CollectBatch(
            request.max, [&] { return walk.Next(); },
            [&](const IndexEntry& e) { return RecordPasses(session.store(), request, e.ien); });
        return BatchReply(session, request, batch);
    } catch (const ListingError& e) {
        return ErrorReply(e.what());
    }
}

}  // namespace

void RegisterListerProcedures(ProcedureRegistry& registry) {
    registry.Add("DDR LISTER", Access::Application, Lister);
}

}  // namespace vorn::devserver
