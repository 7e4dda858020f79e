#include "devserver/procedures/output_procedures.h"

#include <malloc.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>

#include "devserver/files/file_records.h"
#include "devserver/net/session.h"
#include "devserver/procedures/output_device.h"
#include "devserver/procedures/paged_document.h"
#include "devserver/procedures/record_lookup.h"
#include "devserver/procedures/record_request.h"
#include "devserver/procedures/report_body.h"

namespace vorn::devserver {
namespace {

const Param& Arguments(const Call& call) {
    const Param* p = call.At(0);
    if (!p || p->type != ParamType::List)
        throw RequestError("\"" + call.name + "\" takes its arguments as a list parameter.");
    return *p;
}

PageHeading Heading(Session& session, std::string title) {
    PageHeading heading;
    heading.shown = title != "@";
    heading.title = std::move(title);
    heading.date = ExternalDate(InternalDate(session.Today()));
    return heading;
}

// A report is made line by line and then kept in one block, so its lines are freed in many
// small pieces that the allocator keeps for itself; given back after a large one, the server's
// resident memory follows what it keeps rather than the most it ever made at once.
// Declared before the document, so that it goes after it.
class ReturnMemory {
  public:
    ReturnMemory() = default;
    void Of(const std::vector<std::string>& lines) { large_ = Document::BytesOf(lines) >= kLarge; }
    ~ReturnMemory() {
#ifdef __GLIBC__
        if (large_) ::malloc_trim(0);
#endif
    }
    ReturnMemory(const ReturnMemory&) = delete;
    ReturnMemory& operator=(const ReturnMemory&) = delete;

  private:
    static constexpr std::size_t kLarge = 256 * 1024;
    bool large_ = false;
};

// Prints the document where the IOP says and keeps it for paging: its handle. A document the
// server would not keep is not printed either; only when other sessions fill the server's budget
// while it prints is it printed and then refused.
std::string Deliver(Session& session, const OutputDevice& device,
                    const std::vector<std::string>& document) {
    try {
        if (!device.workstation) {
            session.documents().CheckRoom(Document::BytesOf(document));
            ServerContext& server = session.server();
            PrintOnServer(server.spoolFolder, server.spoolLock, device, document, server.spoolCap);
        }
        return session.documents().Add(document);
    } catch (const DocumentRefused& e) {
        throw RequestError(e.what());
    }
}

Reply Report(Session& session, const Call& call) {
    try {
        const Param& list = Arguments(call);
        OutputDevice device;
        ReturnMemory giveBack;
        std::vector<std::string> document;
        {
            const GlobalStore::ReadTransaction snapshot(session.store());
            const FileDef& file = RequireFile(session.dictionary(), list.Get("FILE"));
            if (file.IsSubfile())
                throw RequestError("File " + FileTitle(file) +
                                   " is a sub-file; reports print top-level files.");
            RequireRight(session.Access(file), Right::Read, file);
            device = ResolveOutputDevice(session.store(), session.dictionary(), list.Get("IOP"));
            ReportBody body = BuildReport(session, file, list);
            const std::string dhd = list.Get("DHD");
            PageHeading heading = Heading(session, dhd.empty() ? file.name : dhd);
            heading.columns = std::move(body.columns);
            document = LayOutPages(body.lines, heading);
        }
        giveBack.Of(document);
        return Reply::Lines({"[Data]", Deliver(session, device, document)});
    } catch (const RequestError& e) {
        return Reply::Lines({"[Errors]", e.what()});
    }
}

Reply PageOut(Session& session, const Call& call) {
    std::optional<DocumentPage> page = session.documents().Read(call.Literal(0), kLinesPerPageOut);
    if (!page) return Reply::Lines({"[Errors]", "Document not found."});
    std::vector<std::string> reply{
        "[Misc]", std::to_string(page->position) + (page->more ? "^1" : "^0"), "[Data]"};
    reply.insert(reply.end(), std::make_move_iterator(page->lines.begin()),
                 std::make_move_iterator(page->lines.end()));
    return Reply::Lines(std::move(reply));
}

// The lab results of a patient, by date: date, lab test, result, and the multiline result
// indented under it.
std::vector<std::string> PatientResults(Session& session, const std::string& patient) {
    const Dictionary& dict = session.dictionary();
    GlobalStore& store = session.store();
    const FileDef& patients = RequireFile(dict, "80003");
    const FileDef& results = RequireFile(dict, "80005");
    const FileDef& tests = RequireFile(dict, "80001");
    RequireRight(session.Access(patients), Right::Read, patients);
    RequireRight(session.Access(results), Right::Read, results);
    if (patient.empty()) throw RequestError("No patient was given (POT).");
    const GlobalRef record = patients.root.Child(patient);
    RecordReader who(store, dict, patients, record, patient, session.Today());
    if (!IsRecordNumberText(patient) || !who.Exists())
        throw RequestError("Patient " + patient + " does not exist.");

    const FieldDef& date = RequireField(results, "3");
    const FieldDef& test = RequireField(results, "2");
    const FieldDef& result = RequireField(results, "4");
    const FieldDef& text = RequireField(results, "100");
    // The results' "B" index holds the variable pointer "16;ZDEMO(80003,".
    const std::string pointer = VariablePointerText(patients, patient);
    const GlobalRef entries = results.root.Child("B").Child(pointer.substr(0, kIndexValueLength));
    std::vector<std::pair<std::string, std::string>> found;  // (date, record)
    for (std::string at = store.Order(entries.Child("")); IsRecordNumberText(at);
         at = store.Order(entries.Child(at))) {
        const GlobalRef r = results.root.Child(at);
        if (GetFieldValue(store, r, RequireField(results, ".01")) == pointer)
            found.emplace_back(GetFieldValue(store, r, date), at);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : CompareSubscripts(a.second, b.second) < 0;
    });

    std::vector<std::string> body;
    std::map<std::string, std::string> testNames;
    for (const auto& [when, ien] : found) {
        RecordReader r(store, dict, results, results.root.Child(ien), ien, session.Today());
        const std::string testIen = r.Internal(test);
        auto name = testNames.find(testIen);
        if (name == testNames.end()) {
            RecordReader t(store, dict, tests, tests.root.Child(testIen), testIen, session.Today());
            name = testNames
                       .emplace(testIen, Padded(t.External(RequireField(tests, ".01")), 10) + "  " +
                                             Padded(t.External(RequireField(tests, "2")), 30))
                       .first;
        }
        body.push_back(TrimmedRight(Padded(ExternalDate(when), 12) + "  " + name->second + "  " +
                                    r.External(result)));
        for (const std::string& line : r.Text(text))
            body.push_back(std::string(14, ' ') + line);
    }
    if (body.empty()) body.emplace_back("No lab results.");

    std::string title = "LAB RESULTS: " + who.External(RequireField(patients, ".01"));
    if (const std::string ward = who.External(RequireField(patients, "2")); !ward.empty())
        title += " (" + ward + ")";
    PageHeading heading = Heading(session, title);
    heading.columns = Padded(date.label, 12) + "  " + Padded(test.label, 42) + "  " + result.label;
    return LayOutPages(body, heading);
}

Reply PatientLabResults(Session& session, const Call& call) {
    try {
        const Param& list = Arguments(call);
        OutputDevice device;
        ReturnMemory giveBack;
        std::vector<std::string> document;
        {
            const GlobalStore::ReadTransaction snapshot(session.store());
            device = ResolveOutputDevice(session.store(), session.dictionary(), list.Get("IOP"));
            document = PatientResults(session, list.Get("POT"));
        }
        giveBack.Of(document);
        return Reply::Lines({"[Misc]", Deliver(session, device, document)});
    } catch (const RequestError& e) {
        return Reply::Lines({"[Error]", e.what()});
    }
}

}  // namespace

void RegisterOutputProcedures(ProcedureRegistry& registry) {
    registry.Add("VRNX REPORT", Access::Application, Report);
    registry.Add("VRNX OUTCR", Access::Application, PageOut);
    registry.Add("ZORADOD TUL POTTUTK", Access::Application, PatientLabResults);
}

}  // namespace vorn::devserver
