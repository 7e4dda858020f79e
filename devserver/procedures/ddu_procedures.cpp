#include "devserver/procedures/ddu_procedures.h"

#include "devserver/files/file_records.h"
#include "devserver/m/collation.h"
#include "devserver/m/text.h"
#include "devserver/net/session.h"
#include "devserver/procedures/record_reader.h"
#include "devserver/procedures/record_request.h"

namespace vorn::devserver {
namespace {

std::string PointedFiles(const FieldDef& field) {
    if (field.type == FieldType::Pointer) return field.pointsTo;
    std::string out;
    for (const std::string& f : field.variableFiles)
        out += (out.empty() ? "" : ",") + f;
    return out;
}

// 1 = file, 2 = the field after which to start (".001": all of them). One line per field:
// "number^label^type^sub-file^required^pointed file^node;piece".
Reply Fields(Session& s, const Call& call) {
    try {
        const FileDef& file = RequireFile(s.dictionary(), Argument(call, "1"));
        const std::string after = FieldKey(Argument(call, "2"));
        std::vector<std::string> lines{"[Data]"};
        for (const FieldDef& f : file.fields) {
            if (IsCanonicNumber(after) && CompareSubscripts(f.number, after) <= 0) continue;
            lines.push_back(f.number + "^" + f.label + "^" + static_cast<char>(f.type) + "^" +
                            (f.type == FieldType::Multiple ? f.subfile : "") + "^" +
                            (f.required ? "1" : "0") + "^" + PointedFiles(f) + "^" + f.Location());
        }
        return Reply::Lines(std::move(lines));
    } catch (const RequestError& e) {
        return Reply::Lines({"[Errors]", e.what()});
    }
}

// 1 = file: "file^user^READ^WRITE^DEL^LAYGO", a right that is not granted left empty.
Reply FileAccessLine(Session& s, const Call& call) {
    try {
        const FileDef& file = RequireFile(s.dictionary(), Argument(call, "1"));
        const FileAccess a = s.Access(file);
        return Reply::Lines({"[Data]", file.number + "^" + s.user().name + "^" +
                                           (a.read ? "READ" : "") + "^" + (a.write ? "WRITE" : "") +
                                           "^" + (a.del ? "DEL" : "") + "^" +
                                           (a.laygo ? "LAYGO" : "")});
    } catch (const RequestError& e) {
        return Reply::Lines({"[Errors]", e.what()});
    }
}

// 1 = file, 2 = field: where the field is stored, "node;piece". The client puts the node into
// a screen as $P($G(^(node)),U,piece), so a string node comes quoted as an M subscript ("TYPE"
// would read as a variable there); a numeric node stays bare.
Reply Location(Session& s, const Call& call) {
    try {
        const FileDef& file = RequireFile(s.dictionary(), Argument(call, "1"));
        const FieldDef& field = RequireField(file, Argument(call, "2"));
        if (!field.IsStored())
            throw RequestError(FieldTitle(field) + " is computed; it has no place in the record.");
        return Reply::Lines({"[BEGIN_diDATA]",
                             SubscriptText(field.node) + ";" + std::to_string(field.piece),
                             "[END_diDATA]"});
    } catch (const RequestError& e) {
        return Reply::Lines({"[BEGIN_diERRORS]", e.what()});
    }
}

// 1 = file, 2 = field: "1" when the field is a pointer through which new entries may be added
// and the user may add entries to the pointed file.
Reply PointerLaygo(Session& s, const Call& call) {
    const FileDef* file = s.dictionary().File(Argument(call, "1"));
    const FieldDef* field = file ? file->Field(Argument(call, "2")) : nullptr;
    if (!field || field->type != FieldType::Pointer || !field->laygo) return Reply::Value("0");
    const FileDef* pointed = s.dictionary().File(field->pointsTo);
    return Reply::Value(pointed && s.Access(*pointed).laygo ? "1" : "0");
}

// "FILE", "FIELD", "FLAGS" (H the help prompt, D the description; both: the prompt first). The
// client joins the lines without a separator, so each but the last ends in a blank.
Reply Help(Session& s, const Call& call) {
    try {
        const FileDef& file = RequireFile(s.dictionary(), Argument(call, "FILE"));
        const FieldDef& field = RequireField(file, Argument(call, "FIELD"));
        const std::string flags = Upper(Argument(call, "FLAGS"));
        std::vector<std::string> text;
        if (flags.find('H') != std::string::npos && !field.help.empty()) text.push_back(field.help);
        if (flags.find('D') != std::string::npos)
            text.insert(text.end(), field.description.begin(), field.description.end());
        std::vector<std::string> lines{"[BEGIN_diHELP]"};
        for (std::size_t i = 0; i < text.size(); ++i) {
            std::string line = text[i];
            if (i + 1 < text.size() && !line.empty() && line.back() != ' ') line += ' ';
            lines.push_back(std::move(line));
        }
        lines.push_back("[END_diHELP]");
        return Reply::Lines(std::move(lines));
    } catch (const RequestError& e) {
        return Reply::Lines({"[BEGIN_diERRORS]", e.what()});
    }
}

// "FILE", "IEN" (a record number, or "3,12" for a sub-file record): the .01 value and the
// identifier fields. A sub-file record given by its own number alone has no text.
Reply Identifiers(Session& s, const Call& call) {
    try {
        const GlobalStore::ReadTransaction snapshot(s.store());
        const Dictionary& dict = s.dictionary();
        const FileDef& file = RequireFile(dict, Argument(call, "FILE"));
        const std::string address = Argument(call, "IEN");
        if (file.IsSubfile() && address.find(',') == std::string::npos)
            return Reply::Lines({"[BEGIN_diDATA]", "[END_diDATA]"});
        RequireRight(s.Access(file), Right::Read, file);
        const auto iens = RequireIens(dict, file, address);
        const std::string text =
            RequireRecordReader(s.store(), dict, file, iens, s.Today()).Identifiers();
        std::vector<std::string> lines{"[BEGIN_diDATA]"};
        if (!text.empty()) lines.push_back(text);
        lines.push_back("[END_diDATA]");
        return Reply::Lines(std::move(lines));
    } catch (const RequestError& e) {
        return Reply::Lines({"[BEGIN_diERRORS]", e.what()});
    }
}

}  // namespace

void RegisterDduProcedures(ProcedureRegistry& registry) {
    registry.Add("VRNX DDU FIELDS", Access::Application, Fields);
    registry.Add("VRNX DDU FILE ACCESS", Access::Application, FileAccessLine);
    registry.Add("VRNX DDU LOCATION", Access::Application, Location);
    registry.Add("VRNX DDU POINTER LAYGO", Access::Application, PointerLaygo);
    registry.Add("VRNX HELP", Access::Application, Help);
    registry.Add("VRNX IDENTIFIERS", Access::Application, Identifiers);
}

}  // namespace vorn::devserver
