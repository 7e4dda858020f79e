#include "devserver/procedures/procedure_registry.h"

#include "devserver/net/session.h"

namespace vorn::devserver {

void ProcedureRegistry::Add(std::string name, Access access, Handler handler, std::string context) {
    Procedure p{name, access, std::move(context), std::move(handler)};
    procedures_[std::move(name)] = std::move(p);
}

const Procedure* ProcedureRegistry::Find(std::string_view name) const {
    const auto it = procedures_.find(name);
    return it == procedures_.end() ? nullptr : &it->second;
}

Reply ProcedureRegistry::Dispatch(Session& session, const Call& call) const {
    const Procedure* p = Find(call.name);
    if (!session.SignedOn()) {
        const bool allowed =
            p && (p->access == Access::BeforeSignOn ||
                  (p->access == Access::PendingOrSignedOn && session.PendingUser().has_value()));
        if (!allowed) return Reply::MError(kNotSignedOn);
    }
    if (!p) return Reply::MError(NoSuchProcedure(call.name));
    if (p->access == Access::Application && !session.HasContext(p->context))
        return Reply::MError(kNoContext);
    try {
        return p->handler(session, call);
    } catch (const std::exception& e) {
        session.Note("error in \"" + call.name + "\": " + e.what());
        return Reply::MError("The server could not complete " + call.name + ": " + e.what());
    }
}

}  // namespace vorn::devserver
