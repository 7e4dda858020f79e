#include "devserver/procedures/dialog_procedures.h"

#include "devserver/procedures/message_file.h"
#include "devserver/procedures/record_request.h"

namespace vorn::devserver {
namespace {

// "VORNNUM" = the id, entries 1, 2, ... = the parameters (in order, up to the first gap).
Reply Dialog(Session&, const Call& call) {
    const auto text = MessageTemplate(Argument(call, "VORNNUM"));
    if (!text) return Reply::Lines({"[Data]"});
    std::vector<std::string> parameters;
    const Param* p = call.At(0);
    for (int n = 1; p && p->type == ParamType::List; ++n) {
        const std::string* value = p->Find(std::to_string(n));
        if (!value) break;
        parameters.push_back(*value);
    }
    return Reply::Lines({"[Data]", PlaceParameters(*text, parameters)});
}

}  // namespace

void RegisterDialogProcedures(ProcedureRegistry& registry) {
    registry.Add("VRNX DIALOG", Access::Application, Dialog);
}

}  // namespace vorn::devserver
