#include "devserver/procedures/gets_procedures.h"

#include <algorithm>

#include "devserver/files/file_records.h"
#include "devserver/m/text.h"
#include "devserver/net/session.h"
#include "devserver/procedures/record_reader.h"
#include "devserver/procedures/record_request.h"

namespace vorn::devserver {
namespace {

constexpr const char* kWordProcessing = "[WORD PROCESSING]";

// A requested field: its key as asked ("7", ".001", "7:2") and the path to it. Every step but
// the last is a pointer field; the last is a field of the file the path ends in, or nullptr for
// ".001" (the record number).
struct Wanted {
    std::string key;
    std::vector<const FieldDef*> path;
    const FieldDef* Last() const { return path.back(); }
};

// "7:2:.01": pointer field 7 of `file`, field 2 of the file it points to, and so on. A step
// before a ":" that is not a pointer cannot be followed, which is as wrong as an unknown field.
Wanted Path(const Dictionary& dict, const FileDef& file, const std::string& key) {
    Wanted wanted{key, {}};
    const FileDef* at = &file;
    const std::vector<std::string> steps = SplitText(key, ':');
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const std::string number = FieldKey(steps[i]);
        const bool last = i + 1 == steps.size();
        if (number == ".001" && last) {
            wanted.path.push_back(nullptr);
            break;
        }
        const FieldDef& field = RequireField(*at, number);
        if (!last) {
            if (field.type != FieldType::Pointer)
                throw RequestError(FieldTitle(field) + " of file " + FileTitle(*at) +
                                   " is not a pointer; \"" + key + "\" cannot go through it.");
            at = &RequireFile(dict, field.pointsTo);
        } else if (field.type == FieldType::Multiple) {
            throw RequestError(FieldTitle(field) + " of file " + FileTitle(*at) +
                               " is a multiple; its entries are read as records of sub-file " +
                               field.subfile + ".");
        } else if (field.type == FieldType::WordProcessing && steps.size() > 1) {
            throw RequestError(FieldTitle(field) + " of file " + FileTitle(*at) +
                               " is word-processing text, which is not read through a pointer.");
        }
        wanted.path.push_back(&field);
    }
    return wanted;
}

// "f;f;" in the order given, each once; "*" every field of the file but its multiples, whose
// entries are records of their own sub-files.
std::vector<Wanted> WantedFields(const Dictionary& dict, const FileDef& file,
                                 const std::string& fields) {
    std::vector<Wanted> wanted;
    if (fields == "*" || fields == "**") {
        for (const FieldDef& f : file.fields)
            if (f.type != FieldType::Multiple) wanted.push_back({f.number, {&f}});
        return wanted;
    }
    std::vector<std::string> seen;
    for (const std::string& asked : SplitText(fields, ';')) {
        if (asked.empty()) continue;
        Wanted w = Path(dict, file, asked);
        std::string key;
        for (const FieldDef* f : w.path)
            key += (key.empty() ? "" : ":") + (f ? f->number : std::string(".001"));
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(key);
        w.key = key;
        wanted.push_back(std::move(w));
    }
    if (wanted.empty()) throw RequestError("No fields were asked for.");
    return wanted;
}

// The internal and external value at the end of a path that goes through pointers; both empty
// where a pointer on the way is empty or points to no record.
std::pair<std::string, std::string> ThroughPointers(Session& s, RecordReader& start,
                                                    const Wanted& wanted) {
    const Dictionary& dict = s.dictionary();
    std::string ien = start.Internal(*wanted.path.front());
    for (std::size_t i = 1; i < wanted.path.size(); ++i) {
        const FileDef& pointed = RequireFile(dict, wanted.path[i - 1]->pointsTo);
        RequireRight(s.Access(pointed), Right::Read, pointed);
        const auto record = ien.empty() ? std::nullopt : RecordRef(dict, pointed, {ien});
        if (!record) return {};
        RecordReader reader(s.store(), dict, pointed, *record, ien, s.Today());
        if (!reader.Exists()) return {};
        const FieldDef* field = wanted.path[i];
        if (!field) return {ien, ien};
        if (i + 1 == wanted.path.size()) return {reader.Internal(*field), reader.External(*field)};
        ien = reader.Internal(*field);
    }
    return {};
}

// "FILE", "FIELDS", "IENS", "FLAGS" ("I" internal, "E" external, "IE" both: the client's).
Reply Gets(Session& s, const Call& call) {
    try {
        const GlobalStore::ReadTransaction snapshot(s.store());
        const Dictionary& dict = s.dictionary();
        const FileDef& file = RequireFile(dict, Argument(call, "FILE"));
        RequireRight(s.Access(file), Right::Read, file);
        const auto iens = RequireIens(dict, file, Argument(call, "IENS"));
        const std::vector<Wanted> fields = WantedFields(dict, file, Argument(call, "FIELDS"));
        RecordReader reader = RequireRecordReader(s.store(), dict, file, iens, s.Today());
        const std::string flags = Upper(Argument(call, "FLAGS"));
        const bool internal = flags.find('I') != std::string::npos;
        const bool external = flags.find('E') != std::string::npos || !internal;

        const std::string head = file.number + "^" + RecordAddress(iens) + "^";
        std::vector<std::string> lines{"[BEGIN_diDATA]"};
        for (const Wanted& wanted : fields) {
            const FieldDef* field = wanted.Last();
            if (field && field->type == FieldType::WordProcessing) {
                lines.push_back(head + wanted.key + "^" + kWordProcessing);
                for (std::string& line : reader.Text(*field))
                    lines.push_back(std::move(line));
                lines.push_back(kTextEnd);
                continue;
            }
            std::pair<std::string, std::string> value;
            if (wanted.path.size() > 1)
                value = ThroughPointers(s, reader, wanted);
            else if (field)
                value = {reader.Internal(*field), reader.External(*field)};
            else
                value = {iens.front(), iens.front()};
            std::string line = head + wanted.key;
            if (internal) line += "^" + value.first;
            if (external) line += "^" + value.second;
            lines.push_back(std::move(line));
        }
        lines.push_back("[END_diDATA]");
        return Reply::Lines(std::move(lines));
    } catch (const RequestError& e) {
        return Reply::Lines({"[ERROR]", "[BEGIN_diERRORS]", e.what()});
    }
}

}  // namespace

void RegisterGetsProcedures(ProcedureRegistry& registry) {
    registry.Add("DDR GETS ENTRY DATA", Access::Application, Gets);
}

}  // namespace vorn::devserver
