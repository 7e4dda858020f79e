// The documents sessions stored for paging ("VRNX REPORT" stores, "VRNX OUTCR" pages). Each has
// an unguessable handle, belongs to the session that stored it (another session's handle is
// not found) and is dropped when that session ends.
#pragma once

#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vorn::devserver {

struct Document {
    std::vector<std::string> lines;
    std::size_t position = 0;  // lines already handed out
};

class DocumentStore {
  public:
    // At most this many documents are kept per session; storing one more drops its oldest.
    static constexpr std::size_t kMaxPerSession = 32;

    // Stores the lines and returns the new document's handle.
    std::string Add(int session, std::vector<std::string> lines);
    // Runs `use` on the session's document under the store's lock; false for an unknown or
    // foreign handle.
    template <typename F>
    bool With(int session, const std::string& handle, F&& use) {
        std::lock_guard lock(mutex_);
        const auto it = documents_.find(handle);
        if (it == documents_.end() || it->second.session != session) return false;
        use(it->second.document);
        return true;
    }
    bool Remove(int session, const std::string& handle);
    int ReleaseAll(int session);
    std::size_t Size() const;
    std::size_t SizeOf(int session) const;

  private:
    struct Entry {
        int session = 0;
        unsigned long serial = 0;  // storing order, to find the oldest
        Document document;
    };
    mutable std::mutex mutex_;
    std::map<std::string, Entry> documents_;
    unsigned long serial_ = 0;
};

// The documents of one session; all are dropped when this goes, however the session ends.
class SessionDocuments {
  public:
    SessionDocuments(DocumentStore& store, int session) : store_(store), session_(session) {}
    ~SessionDocuments() { store_.ReleaseAll(session_); }
    SessionDocuments(const SessionDocuments&) = delete;
    SessionDocuments& operator=(const SessionDocuments&) = delete;

    std::string Add(std::vector<std::string> lines) {
        return store_.Add(session_, std::move(lines));
    }
    template <typename F>
    bool With(const std::string& handle, F&& use) {
        return store_.With(session_, handle, std::forward<F>(use));
    }
    bool Remove(const std::string& handle) { return store_.Remove(session_, handle); }
    std::size_t Size() const { return store_.SizeOf(session_); }

  private:
    DocumentStore& store_;
    int session_;
};

}  // namespace vorn::devserver
