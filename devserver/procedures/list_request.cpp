#include "devserver/procedures/list_request.h"

#include <algorithm>

#include "devserver/files/file_records.h"
#include "devserver/m/fm_dates.h"
#include "devserver/m/text.h"
#include "devserver/net/session.h"

namespace vorn::devserver {
namespace {

constexpr long kMaxBatch = 1000000000;

bool IsRecordNumber(const std::string& s) {
    return IsCanonicNumber(s) && s[0] != '-' && s != "0";
}

GlobalRef RecordsRoot(Session& session, const FileDef& file, const std::string& iensText) {
    const Dictionary& dict = session.dictionary();
    if (!file.IsSubfile()) {
        if (!iensText.empty() && iensText != ",")
            throw ListingError("File " + file.number +
                               " is not a sub-file: IENS must be empty, not \"" + iensText + "\".");
        return file.root;
    }
    if (iensText.empty() || iensText == ",")
        throw ListingError("File " + file.number +
                           " is a sub-file: IENS must name its parent record.");
    const auto parents = ParseIens(iensText);
    if (!parents) throw ListingError("IENS \"" + iensText + "\" is not a record address.");
    const auto root = FileRoot(dict, file, *parents);
    if (!root)
        throw ListingError("IENS \"" + iensText + "\" does not name a parent record of file " +
                           file.number + ".");
    const FileDef* parent = dict.File(file.parent);
    const auto parentRecord = RecordRef(dict, *parent, *parents);
    if (!parentRecord || !RecordExists(session.store(), *parentRecord))
        throw ListingError("Record " + RecordAddress(*parents) + " of file " + parent->number +
                           " does not exist.");
    return *root;
}

std::vector<ListField> ReadFields(const FileDef& file, const std::string& text) {
    std::vector<ListField> fields;
    for (const std::string& number : SplitText(text, ';')) {
        if (number.empty()) continue;
        if (number == ".001") {
            fields.push_back({number, nullptr});
            continue;
        }
        const FieldDef* def = file.Field(number);
        if (!def)
            throw ListingError("Field " + number + " does not exist in file " + file.number + ".");
        if (def->type == FieldType::WordProcessing)
            throw ListingError("Field " + number + " of file " + file.number +
                               " is a word-processing field and cannot be listed.");
        if (def->type == FieldType::Multiple)
            throw ListingError("Field " + number + " of file " + file.number +
                               " is a multiple and cannot be listed.");
        fields.push_back({def->number, def});
    }
    if (fields.empty()) fields.push_back({".01", file.Field(".01")});
    return fields;
}

std::optional<long> ReadMax(const std::string& text) {
    if (text.empty() || text == "*") return std::nullopt;
    bool digits = text.size() <= 10;
    for (char c : text)
        if (c < '0' || c > '9') digits = false;
    const long n = digits ? std::stol(text) : 0;
    if (n < 1)
        throw ListingError("MAX must be a positive whole number or \"*\", not \"" + text + "\".");
    return n > kMaxBatch ? kMaxBatch : n;
}

// The screen of the pointer field being filled, when it points into the listed file.
void AddPointerScreen(Session& session, const Param& list, ListRequest& request) {
    const std::string file = list.Get("DDFILE"), field = list.Get("DDFIELD");
    if (file.empty() && field.empty()) return;
    if (file.empty() || field.empty())
        throw ListingError("DDFILE and DDFIELD name the pointer field together.");
    const FileDef* holder = session.dictionary().File(file);
    if (!holder) throw ListingError("File " + file + " does not exist.");
    const FieldDef* pointer = holder->Field(field);
    if (!pointer)
        throw ListingError("Field " + field + " does not exist in file " + holder->number + ".");
    const FileDef* target = session.dictionary().File(pointer->pointsTo);
    if (pointer->type == FieldType::Pointer && target == request.file && !pointer->screen.empty())
        request.screens.Add(ReadScreen(pointer->screen));
}

}  // namespace

const Param& ListParameter(const Call& call) {
    const Param* p = call.At(0);
    if (!p || p->type != ParamType::List)
        throw ListingError("\"" + call.name + "\" takes its arguments as a list parameter.");
    return *p;
}

const IndexDef& RequireIndex(const FileDef& file, const std::string& name) {
    const std::string wanted = name.empty() ? "B" : name;
    const IndexDef* index = file.Index(wanted);
    if (!index)
        throw ListingError("Index \"" + wanted + "\" does not exist in file " + file.number + ".");
    return *index;
}

MScreen ReadScreen(const std::string& code) {
    try {
        return MScreen(code);
    } catch (const ScreenCodeError& e) {
        throw ListingError(e.what());
    }
}

void ReadListRequest(Session& session, const Param& list, const std::string& allowedFlags,
                     ListRequest& request) {
    const Dictionary& dict = session.dictionary();
    const std::string number = list.Get("FILE");
    if (number.empty()) throw ListingError("The file number (FILE) is missing.");
    const FileDef* file = dict.File(number);
    if (!file) throw ListingError("File " + number + " does not exist.");
    const FileDef& top = dict.TopLevel(*file);
    if (!session.Access(top).read)
        throw ListingError("You may not read file " + top.number + " (" + top.name + ").");
    request.file = file;
    request.fileRoot = RecordsRoot(session, *file, list.Get("IENS"));
    request.fileRootKey = EncodeKey(request.fileRoot.subscripts);
    request.flags = list.Get("FLAGS");
    for (char c : request.flags)
        if (allowedFlags.find(c) == std::string::npos)
            throw ListingError(std::string("The flag \"") + c + "\" is not supported here.");
    request.max = ReadMax(list.Get("MAX"));
    request.fields = ReadFields(*file, list.Get("FIELDS"));
    request.screens.Add(ReadScreen(list.Get("SCREEN")));
    AddPointerScreen(session, list, request);
    request.environment.dt = InternalDate(session.Today());
    request.environment.duz = std::to_string(session.Duz());
}

std::string ListedValue(Session& session, const FileDef& file, const ListField& field,
                        const GlobalRef& record, const std::string& ien, bool internal) {
    if (!field.def) return ien;
    if (field.def->type == FieldType::Computed)
        return ComputedValue(session.store(), file, *field.def, record, session.Today());
    const std::string value = GetFieldValue(session.store(), record, *field.def);
    return internal ? value
                    : ExternalValue(session.store(), session.dictionary(), *field.def, value);
}

std::string RecordLine(Session& session, const ListRequest& request, const std::string& ien,
                       bool internal) {
    const GlobalRef record = request.fileRoot.Child(ien);
    std::string line = ien;
    for (const ListField& field : request.fields) {
        line += '^';
        line += ListedValue(session, *request.file, field, record, ien, internal);
    }
    return line;
}

void ReadForBatch(Session& session, const ListRequest& request, IndexWalkOptions& options,
                  long over) {
    if (request.max) options.readAhead = static_cast<int>(std::min(*request.max + over, 512L));
    if (session.store().ReadsAhead())
        options.onReadAhead = [&session, &request](const std::vector<std::string>& iens) {
            // A batch checks at most one record past its MAX (whether more follow): the entries
            // read beyond are slack for records that fail, which are then read one by one.
            const std::size_t checked =
                request.max ? static_cast<std::size_t>(*request.max) + 1 : iens.size();
            if (iens.size() <= checked) return session.store().ReadAhead(request.fileRoot, iens);
            session.store().ReadAhead(request.fileRoot,
                                      {iens.begin(), iens.begin() + static_cast<long>(checked)});
        };
}

bool RecordPasses(GlobalStore& store, const ListRequest& request, const std::string& ien) {
    if (!IsRecordNumber(ien)) return false;
    // A record is its nodes: one query for the first of them instead of $DATA's two, from the
    // key of the file's root that every record of the listing shares.
    std::string key = request.fileRootKey;
    AppendEncoded(key, ien);
    if (!store.HasChildrenAt(request.fileRoot.name, key)) return false;
    if (request.screens.Empty()) return true;
    const GlobalRef record = request.fileRoot.Child(ien);
    try {
        return request.screens.Passes(request.environment, ien, record);
    } catch (const ScreenRunError& e) {
        throw ListingError(e.what());
    }
}

Batch CollectBatch(const std::optional<long>& max,
                   const std::function<std::optional<IndexEntry>()>& next,
                   const std::function<bool(const IndexEntry&)>& accept) {
    Batch batch;
    std::optional<IndexEntry> previous;
    while (auto entry = next()) {
        if (accept(*entry)) {
            if (max && static_cast<long>(batch.iens.size()) >= *max) {
                batch.more = previous;
                break;
            }
            batch.iens.push_back(entry->ien);
        }
        previous = std::move(entry);
    }
    return batch;
}

Reply BatchReply(Session& session, const ListRequest& request, const Batch& batch) {
    std::vector<std::string> lines;
    lines.reserve(batch.iens.size());
    for (const std::string& ien : batch.iens)
        lines.push_back(RecordLine(session, request, ien, request.Flag('I')));
    std::optional<std::string> more;
    if (batch.more) more = "MORE^" + batch.more->value + "^" + batch.more->ien;
    return ListingReply(more, std::move(lines));
}

Reply ListingReply(const std::optional<std::string>& moreLine, std::vector<std::string> lines) {
    std::vector<std::string> out;
    out.reserve(lines.size() + 3);
    if (moreLine) {
        out.push_back("[Misc]");
        out.push_back(*moreLine);
    }
    out.push_back("[Data]");
    for (auto& line : lines)
        out.push_back(std::move(line));
    return Reply::Lines(std::move(out));
}

Reply ErrorReply(const std::string& text) {
    return Reply::Lines({"[Errors]", text});
}

}  // namespace vorn::devserver
