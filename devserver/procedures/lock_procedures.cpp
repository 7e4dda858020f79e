#include "devserver/procedures/lock_procedures.h"

#include "devserver/m/text.h"
#include "devserver/net/session.h"
#include "devserver/procedures/record_request.h"

namespace vorn::devserver {
namespace {

// "FILE", "IEN" (the record address without its trailing comma), "ACT" ("LOCK" or "UNLOCK"):
// "1" done, "0" refused (held by another session; or, unlocking, not held by this one). A lock
// is for changing the record, so it needs the right to change records of the file: a user who
// may only read cannot keep others from editing.
Reply Locks(Session& s, const Call& call) {
    try {
        const Dictionary& dict = s.dictionary();
        const FileDef& file = RequireFile(dict, Argument(call, "FILE"));
        const auto iens = RequireIens(dict, file, Argument(call, "IEN"));
        const std::string act = Upper(Argument(call, "ACT"));
        bool done = false;
        if (act == "LOCK") {
            RequireRight(s.Access(file), Right::Write, file);
            const GlobalStore::ReadTransaction snapshot(s.store());
            RequireRecord(s.store(), dict, file, iens);
            done = s.LockRecord(file, iens);
        } else if (act == "UNLOCK") {
            done = s.UnlockRecord(file, iens);
        } else {
            throw RequestError("\"ACT\" is LOCK or UNLOCK, not \"" + Argument(call, "ACT") + "\".");
        }
        return Reply::Lines({"[BEGIN_diDATA]", done ? "1" : "0", "[END_diDATA]"});
    } catch (const RequestError& e) {
        return Reply::Lines({"[BEGIN_diERRORS]", e.what()});
    }
}

}  // namespace

void RegisterLockProcedures(ProcedureRegistry& registry) {
    registry.Add("VRNX LOCKS", Access::Application, Locks);
}

}  // namespace vorn::devserver
