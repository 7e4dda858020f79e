// The documents sessions stored for paging ("VRNX REPORT" stores, "VRNX OUTCR" pages). Each has
// an unguessable handle, belongs to the session that stored it (another session's handle is
// not found), is dropped once it has been read to its end, and is dropped when its session ends.
//
// What they hold is bounded, since any signed-on user can ask for reports and need never read
// them: each session may keep documents up to a budget of bytes, and all sessions together up
// to another. A new document first pushes out the oldest documents of its own session (never
// another session's); when it still does not fit, it is refused with a reason the user can read.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorn::devserver {

// A stored document: its lines in one block of text with the end of each, so that it costs
// what it holds and a line's bookkeeping does not outweigh its text.
class Document {
  public:
    explicit Document(const std::vector<std::string>& lines);
    std::size_t LineCount() const { return ends_.size(); }
    std::string Line(std::size_t i) const;
    // What the document counts against the budgets.
    std::size_t Bytes() const { return BytesOf(text_.size(), ends_.size()); }
    static std::size_t BytesOf(std::size_t textBytes, std::size_t lines) {
        return textBytes + lines * sizeof(std::uint32_t);
    }
    static std::size_t BytesOf(const std::vector<std::string>& lines);

  private:
    std::string text_;
    std::vector<std::uint32_t> ends_;
};

struct DocumentBudget {
    static constexpr std::size_t kMiB = std::size_t{1} << 20;
    std::size_t perSession = 16 * kMiB;
    std::size_t total = 128 * kMiB;
};

// "640 KiB", "16 MiB", "20.5 MiB": a size as a user reads it (sizes under 1 MiB in whole KiB,
// larger ones in MiB to a tenth, rounded up).
std::string ByteSizeText(std::size_t bytes);

// A document that was not kept; what() is the reason, for the reply's error lines.
class DocumentRefused : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The next lines of a document, as "VRNX OUTCR" hands them out.
struct DocumentPage {
    std::vector<std::string> lines;
    std::size_t position = 0;  // lines handed out so far, these included
    bool more = false;         // false: this was the end, and the document is gone
};

// What all sessions' documents take, where each session is a process of its own (GT.M): a count
// in memory that the listener maps shared before it forks, and each process's own part beside
// it, so that the listener takes back what a process that ended abruptly still counted.
struct SharedDocumentBytes {
    static constexpr int kParts = 4096;
    std::atomic<std::size_t> total{0};
    std::atomic<std::size_t> part[kParts];
};
// Maps one, zeroed; it lives as long as the process (and the processes it forks).
SharedDocumentBytes* MapSharedDocumentBytes();

class DocumentStore {
  public:
    // At most this many documents are kept per session, whatever their size.
    static constexpr std::size_t kMaxPerSession = 32;

    explicit DocumentStore(DocumentBudget budget = {}) : budget_(budget) {}
    DocumentBudget budget() const {
        std::lock_guard lock(mutex_);
        return budget_;
    }
    // Documents already kept stay until they are read or pushed out.
    void SetBudget(DocumentBudget budget) {
        std::lock_guard lock(mutex_);
        budget_ = budget;
    }

    // Stores the lines and returns the new document's handle. Throws DocumentRefused when the
    // document does not fit the budgets even with the session's older documents gone.
    std::string Add(int session, const std::vector<std::string>& lines);
    // Throws DocumentRefused when a document of `bytes` would be refused now; for work that
    // must not be done for a document that will not be kept.
    void CheckRoom(int session, std::size_t bytes) const;
    // The `count` lines after those already handed out; nullopt for an unknown or foreign
    // handle. The page that reaches the end drops the document.
    std::optional<DocumentPage> Read(int session, const std::string& handle, std::size_t count);
    bool Remove(int session, const std::string& handle);
    int ReleaseAll(int session);
    std::size_t Size() const;
    std::size_t SizeOf(int session) const;
    std::size_t Bytes() const;
    std::size_t BytesOf(int session) const;

    // Why a document over a session's budget is not kept; also said by a report that outgrows
    // the budget while it is being made, before it costs more.
    std::string TooLarge() const;

    // In a child process forked from a threaded one: the lock as new (see Server::Serve).
    void AfterFork() { new (&mutex_) std::mutex(); }
    // The server's budget counted over processes: `part` is this process's own share (-1: none
    // free, counted in the total only). Set in the listener before forking, the part in each
    // child; Bytes() is then what all processes keep.
    void Share(SharedDocumentBytes* shared, int part = -1) {
        shared_ = shared;
        part_ = part;
    }

  private:
    struct Entry {
        int session = 0;
        unsigned long serial = 0;  // storing order, to find the oldest
        std::size_t position = 0;  // lines already handed out
        Document document;
    };
    void Drop(std::map<std::string, Entry>::iterator it);
    // Why a document of `bytes` cannot be kept for the session; "" when it can. Under the lock.
    std::string Refusal(int session, std::size_t bytes) const;
    static std::string TooLargeFor(const DocumentBudget& budget);

    DocumentBudget budget_;
    mutable std::mutex mutex_;
    std::map<std::string, Entry> documents_;
    std::map<int, std::size_t> bytesBySession_;
    std::size_t bytes_ = 0;
    unsigned long serial_ = 0;
    SharedDocumentBytes* shared_ = nullptr;
    int part_ = -1;
    // What all sessions keep: this process's documents, or every process's when shared.
    std::size_t AllBytes() const { return shared_ ? shared_->total.load() : bytes_; }
};

// The documents of one session; all are dropped when this goes, however the session ends.
class SessionDocuments {
  public:
    SessionDocuments(DocumentStore& store, int session) : store_(store), session_(session) {}
    ~SessionDocuments() { store_.ReleaseAll(session_); }
    SessionDocuments(const SessionDocuments&) = delete;
    SessionDocuments& operator=(const SessionDocuments&) = delete;

    std::string Add(const std::vector<std::string>& lines) { return store_.Add(session_, lines); }
    void CheckRoom(std::size_t bytes) const { store_.CheckRoom(session_, bytes); }
    std::optional<DocumentPage> Read(const std::string& handle, std::size_t count) {
        return store_.Read(session_, handle, count);
    }
    bool Remove(const std::string& handle) { return store_.Remove(session_, handle); }
    std::size_t Size() const { return store_.SizeOf(session_); }
    const DocumentStore& store() const { return store_; }

  private:
    DocumentStore& store_;
    int session_;
};

}  // namespace vorn::devserver
