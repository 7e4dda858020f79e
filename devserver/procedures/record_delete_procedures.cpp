#include "devserver/procedures/record_delete_procedures.h"

#include <algorithm>
#include <set>

#include "devserver/net/session.h"
#include "devserver/procedures/record_deletion.h"
#include "devserver/procedures/record_lookup.h"
#include "devserver/procedures/record_reader.h"
#include "devserver/procedures/record_request.h"

namespace vorn::devserver {
namespace {

// A count argument; the client's defaults when it is missing or no number.
int Limit(const std::string& text, int fallback) {
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return fallback;
    return std::stoi(text);
}

bool HasInternalIndex(const FileDef& file, const FieldDef& field) {
    if (file.IsSubfile()) return false;
    for (const IndexDef& index : file.indexes)
        if (index.internal && FieldKey(index.field) == field.number) return true;
    return false;
}

// The records of one pointing file.
struct PointingFile {
    const FileDef* file = nullptr;
    std::vector<const FieldDef*> fields;
    std::vector<std::vector<std::string>> records;  // each once, in order found
    bool required = false;
    bool indexed = true;  // every pointing field looked up in an index
};

std::vector<PointingFile> ByFile(const std::vector<PointingRecord>& pointers) {
    std::vector<PointingFile> files;
    for (const PointingRecord& p : pointers) {
        auto it = std::find_if(files.begin(), files.end(),
                               [&](const PointingFile& f) { return f.file == p.file; });
        if (it == files.end()) {
            files.emplace_back();
            files.back().file = p.file;
            it = files.end() - 1;
        }
        if (std::find(it->fields.begin(), it->fields.end(), p.field) == it->fields.end())
            it->fields.push_back(p.field);
        if (std::find(it->records.begin(), it->records.end(), p.iens) == it->records.end())
            it->records.push_back(p.iens);
        if (p.field->required) it->required = true;
        if (!HasInternalIndex(*p.file, *p.field)) it->indexed = false;
    }
    return files;
}

std::string Plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "FILE", "IEN", "FCNT" (files to report), "ECNT" (records per file), "FXCNT" (files whose
// pointing field has no index, which are read record by record). Lines: the number of records
// that point here; " " when the record may be deleted, else the first report line; the
// report: per file "NAME (file N), field LABEL (required): n records" and up to ECNT record
// texts indented by three blanks.
Reply PointerCheck(Session& s, const Call& call) {
    try {
        const Dictionary& dict = s.dictionary();
        const FileDef& file = RequireFile(dict, Argument(call, "FILE"));
        RequireRight(s.Access(file), Right::Read, file);
        const auto iens = RequireIens(dict, file, Argument(call, "IEN"));
        RequireRecord(s.store(), dict, file, iens);
        const int maxFiles = Limit(Argument(call, "FCNT"), 6);
        const int maxRecords = Limit(Argument(call, "ECNT"), 2);
        const int maxUnindexed = Limit(Argument(call, "FXCNT"), 6);

        const auto pointers = file.IsSubfile()
                                  ? std::vector<PointingRecord>()
                                  : FindPointersTo(s.store(), dict, file, iens.front());
        const std::vector<PointingFile> files = ByFile(pointers);
        std::size_t total = 0;
        bool forbidden = false;
        for (const PointingFile& f : files) {
            total += f.records.size();
            forbidden = forbidden || f.required;
        }

        std::vector<std::string> report;
        int shown = 0, unindexed = 0;
        std::size_t left = 0;
        for (const PointingFile& f : files) {
            if (shown >= maxFiles || (!f.indexed && unindexed >= maxUnindexed)) {
                ++left;
                continue;
            }
            ++shown;
            if (!f.indexed) ++unindexed;
            std::string labels;
            for (const FieldDef* field : f.fields)
                labels += (labels.empty() ? "" : ", ") + field->label +
                          (field->required ? " (required)" : "");
            report.push_back(f.file->name + " (file " + f.file->number + "), " +
                             (f.fields.size() == 1 ? "field " : "fields ") + labels + ": " +
                             Plural(f.records.size(), "record", "records"));
            for (int i = 0; i < maxRecords && i < static_cast<int>(f.records.size()); ++i) {
                const auto& r = f.records[static_cast<std::size_t>(i)];
                std::string text = RecordText(s.store(), dict, *f.file, r, s.Today());
                report.push_back("   " + (text.empty() ? RecordTitle(r) : text));
            }
            if (f.records.size() > static_cast<std::size_t>(maxRecords))
                report.push_back("   ... and " + std::to_string(f.records.size() - maxRecords) +
                                 " more");
        }
        if (left) report.push_back("... and " + Plural(left, "more file", "more files"));

        std::vector<std::string> lines{"[BEGIN_diDATA]", std::to_string(total)};
        if (forbidden && report.empty())
            report.push_back(Plural(total, "record points", "records point") + " to it.");
        if (!forbidden) lines.push_back(" ");
        lines.insert(lines.end(), report.begin(), report.end());
        lines.push_back("[END_diDATA]");
        return Reply::Lines(std::move(lines));
    } catch (const RequestError& e) {
        return Reply::Lines({"[BEGIN_diERRORS]", e.what()});
    }
}

// "FILE", "IEN": deletes the record (record_deletion.h); answers its .01 text.
Reply RecordDelete(Session& s, const Call& call) {
    try {
        const Dictionary& dict = s.dictionary();
        const FileDef& file = RequireFile(dict, Argument(call, "FILE"));
        RequireRight(s.Access(file), Right::Delete, file);
        const auto iens = RequireIens(dict, file, Argument(call, "IEN"));
        const std::string text = s.store().Atomically([&] {
            return DeleteRecord(s.store(), dict, file, iens,
                                [&](const FileDef& f, const std::vector<std::string>& r) {
                                    return s.LockedByOther(f, r);
                                });
        });
        s.Note("deleted " + RecordTitle(iens) + " of file " + file.number);
        return Reply::Lines(
            {"[BEGIN_diDATA]", text.empty() ? RecordTitle(iens) : text, "[END_diDATA]"});
    } catch (const RequestError& e) {
        return Reply::Lines({"[BEGIN_diERRORS]", e.what()});
    }
}

}  // namespace

void RegisterRecordDeleteProcedures(ProcedureRegistry& registry) {
    registry.Add("VRNX RECORD POINTER CHECK", Access::Application, PointerCheck);
    registry.Add("VRNX RECORD DELETE", Access::Application, RecordDelete);
}

}  // namespace vorn::devserver
