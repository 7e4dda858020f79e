// What the listing procedures ("DDR LISTER", "VRNX FINDER", "VRNX LOGICAL POINTER") read from
// their list parameter in common, and how they write their replies:
//   "FILE"    the file or sub-file number (the user needs READ on it)
//   "IENS"    a sub-file's parent record ("12,", ",12,", "3,12,"); "" or "," for a top file
//   "FIELDS"  "f;f;" with ".001" the record number; none: ".01"
//   "FLAGS"   letters, each one the procedure knows
//   "MAX"     a positive whole number, or "*" or nothing for every record
//   "SCREEN"  M code (devserver/m/m_screen.h)
//   "DDFILE", "DDFIELD"  the pointer field being filled: its screen, if it has one, applies too
// A reply is "[Misc]" and "MORE^..." when more records follow, then "[Data]" and one line per
// record, "ien^value^value..."; or "[Errors]" and the reason.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "devserver/files/dictionary.h"
#include "devserver/files/index_walk.h"
#include "devserver/files/store_global_reader.h"
#include "devserver/m/m_screen.h"
#include "devserver/net/call_parser.h"
#include "devserver/net/reply.h"

namespace vorn::devserver {

class Session;

// The request cannot be answered: the text is the reply's error line.
class ListingError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A field to list; `def` is null for ".001", the record number.
struct ListField {
    std::string number;
    const FieldDef* def = nullptr;
};

struct ListRequest {
    const FileDef* file = nullptr;
    GlobalRef fileRoot;       // where the records live: the root, or the parent's multiple node
    std::string fileRootKey;  // its subscripts' key, which each record's key begins with
    std::vector<ListField> fields;
    std::string flags;
    std::optional<long> max;  // nullopt: every record
    ScreenChain screens;
    ScreenEnvironment environment;
    StoreGlobalReader reader;

    long screenSteps = 0;

    explicit ListRequest(GlobalStore& store) : reader(store) {
        environment.globals = &reader;
        environment.spent = &screenSteps;
    }
    ListRequest(const ListRequest&) = delete;
    ListRequest& operator=(const ListRequest&) = delete;

    bool Flag(char f) const { return flags.find(f) != std::string::npos; }
};

// Reads FILE, IENS, FIELDS, FLAGS (only letters in `allowedFlags`), MAX, SCREEN and
// DDFILE/DDFIELD.
// Throws ListingError.
void ReadListRequest(Session& session, const Param& list, const std::string& allowedFlags,
                     ListRequest& request);
// The list parameter of a call, or a ListingError.
const Param& ListParameter(const Call& call);
// The index of the file named by `name` ("" gives "B"), or a ListingError.
const IndexDef& RequireIndex(const FileDef& file, const std::string& name);
// The M screen of `code`, or a ListingError with the reason.
MScreen ReadScreen(const std::string& code);

// The record's line: "ien^value^value...", internal values with internal set.
std::string RecordLine(Session& session, const ListRequest& request, const std::string& ien,
                       bool internal);
// The value of one field of a record, as a listing shows it.
std::string ListedValue(Session& session, const FileDef& file, const ListField& field,
                        const GlobalRef& record, const std::string& ien, bool internal);

// Whether the record exists and passes every screen (ScreenRunError becomes ListingError).
bool RecordPasses(GlobalStore& store, const ListRequest& request, const std::string& ien);
// A walk that hands out a batch's records: as many entries as the batch takes and `over` more
// (at least the entry that tells whether more follow) in one read, and on an engine that pays
// per call, the records it checks read ahead together. Entries screened out or left dangling
// make the walk read on, twice as many each time.
void ReadForBatch(Session& session, const ListRequest& request, IndexWalkOptions& options,
                  long over);

// Takes entries from `next` until `max` records are accepted; then looks for one more, and
// when there is one, `more` is the entry just before it (the next batch starts after it).
struct Batch {
    std::vector<std::string> iens;
    std::optional<IndexEntry> more;
};
Batch CollectBatch(const std::optional<long>& max,
                   const std::function<std::optional<IndexEntry>()>& next,
                   const std::function<bool(const IndexEntry&)>& accept);

// "[Misc]", "MORE^value^ien" (when more follow), "[Data]", the lines.
Reply ListingReply(const std::optional<std::string>& moreLine, std::vector<std::string> lines);
// The reply of an index walk's batch: "MORE^value^ien" when more follow, a line per record.
Reply BatchReply(Session& session, const ListRequest& request, const Batch& batch);
Reply ErrorReply(const std::string& text);

}  // namespace vorn::devserver
