#include "devserver/procedures/filer_procedures.h"

#include "devserver/files/file_records.h"
#include "devserver/net/session.h"
#include "devserver/procedures/filer.h"
#include "devserver/procedures/record_request.h"
#include "devserver/procedures/validator.h"

namespace vorn::devserver {
namespace {

// "FILE", "IENS" ("+1," for a new record), "FIELD", "VALUE". Valid: "[Errors]", "[Data]",
// internal, external. Not valid: "[Errors]", the reason, "[Data]", "^". The second line is
// "[Data]" exactly when the value is valid: the client's readers depend on it.
Reply Validate(Session& s, const Call& call) {
    try {
        const GlobalStore::ReadTransaction snapshot(s.store());
        const Dictionary& dict = s.dictionary();
        const FileDef& file = RequireFile(dict, Argument(call, "FILE"));
        RequireRight(s.Access(file), Right::Read, file);
        const FieldDef& field = RequireField(file, Argument(call, "FIELD"));
        const std::string address = Argument(call, "IENS");
        bool stored = false;
        if (!address.empty() && address != "," && address != "+1,") {
            const auto iens = RequireIens(dict, file, address, true);
            const auto record = RecordRef(dict, file, iens);
            stored = record && RecordExists(s.store(), *record);
        }
        const ValueCheck check = Validator(s.store(), dict, s.Today())
                                     .Typed(file, field, Argument(call, "VALUE"), stored);
        if (!check.valid) throw RequestError(check.reason);
        return Reply::Lines({"[Errors]", "[Data]", check.internal, check.external});
    } catch (const RequestError& e) {
        return Reply::Lines({"[Errors]", e.what(), "[Data]", "^"});
    }
}

// Literal ADD/EDIT/DELETE, the lines, an empty literal, the wished numbers. "[Data]" and one
// "+n,^number" line per added record; or "[Errors]" and why nothing was filed.
Reply Filer(Session& s, const Call& call) {
    const FilerOutcome outcome = FileRecords(s, call);
    if (!outcome.errors.empty()) {
        std::vector<std::string> lines{"[Errors]"};
        lines.insert(lines.end(), outcome.errors.begin(), outcome.errors.end());
        return Reply::Lines(std::move(lines));
    }
    std::vector<std::string> lines{"[Data]"};
    for (const auto& [placeholder, number] : outcome.added)
        lines.push_back(placeholder + ",^" + number);
    return Reply::Lines(std::move(lines));
}

}  // namespace

void RegisterFilerProcedures(ProcedureRegistry& registry) {
    registry.Add("DDR VALIDATOR", Access::Application, Validate);
    registry.Add("DDR FILER", Access::Application, Filer);
}

}  // namespace vorn::devserver
