#include "devserver/gets_procedures.h"

#include <algorithm>

#include "devserver/file_records.h"
#include "devserver/record_reader.h"
#include "devserver/record_request.h"
#include "devserver/session.h"

namespace vorn::devserver {
namespace {

constexpr const char* kWordProcessing = "[WORD PROCESSING]";
constexpr const char* kTextEnd = "$$END$$";

// A requested field: a field of the file, or nullptr for ".001" (the record number).
using Wanted = std::vector<const FieldDef*>;

// "f;f;" in the order given, each once; "*" every field of the file but its multiples, whose
// entries are records of their own sub-files.
Wanted WantedFields(const FileDef& file, const std::string& fields) {
    Wanted wanted;
    if (fields == "*" || fields == "**") {
        for (const FieldDef& f : file.fields)
            if (f.type != FieldType::Multiple) wanted.push_back(&f);
        return wanted;
    }
    std::vector<std::string> seen;
    std::size_t start = 0;
    while (start <= fields.size()) {
        const auto semi = fields.find(';', start);
        const std::string number =
            FieldKey(fields.substr(start, semi == std::string::npos ? semi : semi - start));
        start = semi == std::string::npos ? fields.size() + 1 : semi + 1;
        if (number.empty() || std::find(seen.begin(), seen.end(), number) != seen.end()) continue;
        seen.push_back(number);
        if (number == ".001") {
            wanted.push_back(nullptr);
            continue;
        }
        const FieldDef& field = RequireField(file, number);
        if (field.type == FieldType::Multiple)
            throw RequestError(FieldTitle(field) + " of file " + FileTitle(file) +
                               " is a multiple; its entries are read as records of sub-file " +
                               field.subfile + ".");
        wanted.push_back(&field);
    }
    if (wanted.empty()) throw RequestError("No fields were asked for.");
    return wanted;
}

// "FILE", "FIELDS", "IENS", "FLAGS" ("I" internal, "E" external, "IE" both: the client's).
Reply Gets(Session& s, const Call& call) {
    try {
        const Dictionary& dict = s.dictionary();
        const FileDef& file = RequireFile(dict, Argument(call, "FILE"));
        RequireRight(s.Access(file), Right::Read, file);
        const auto iens = RequireIens(dict, file, Argument(call, "IENS"));
        const Wanted fields = WantedFields(file, Argument(call, "FIELDS"));
        const GlobalRef record = RequireRecord(s.store(), dict, file, iens);
        const std::string flags = Upper(Argument(call, "FLAGS"));
        const bool internal = flags.find('I') != std::string::npos;
        const bool external = flags.find('E') != std::string::npos || !internal;

        RecordReader reader(s.store(), dict, file, record, iens.front(), s.Today());
        const std::string head = file.number + "^" + RecordAddress(iens) + "^";
        std::vector<std::string> lines{"[BEGIN_diDATA]"};
        for (const FieldDef* field : fields) {
            if (field && field->type == FieldType::WordProcessing) {
                lines.push_back(head + field->number + "^" + kWordProcessing);
                for (std::string& line : reader.Text(*field))
                    lines.push_back(std::move(line));
                lines.push_back(kTextEnd);
                continue;
            }
            const std::string number = field ? field->number : ".001";
            const std::string i = field ? reader.Internal(*field) : iens.front();
            const std::string e = field ? reader.External(*field) : iens.front();
            std::string line = head + number;
            if (internal) line += "^" + i;
            if (external) line += "^" + e;
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
