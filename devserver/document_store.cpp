#include "devserver/document_store.h"

#include "devserver/code_hash.h"

namespace vorn::devserver {

std::string DocumentStore::Add(int session, std::vector<std::string> lines) {
    std::string handle = RandomToken(16);
    std::lock_guard lock(mutex_);
    std::size_t mine = 0;
    auto oldest = documents_.end();
    for (auto it = documents_.begin(); it != documents_.end(); ++it) {
        if (it->second.session != session) continue;
        ++mine;
        if (oldest == documents_.end() || it->second.serial < oldest->second.serial) oldest = it;
    }
    if (mine >= kMaxPerSession) documents_.erase(oldest);
    documents_[handle] = Entry{session, ++serial_, Document{std::move(lines), 0}};
    return handle;
}

bool DocumentStore::Remove(int session, const std::string& handle) {
    std::lock_guard lock(mutex_);
    const auto it = documents_.find(handle);
    if (it == documents_.end() || it->second.session != session) return false;
    documents_.erase(it);
    return true;
}

int DocumentStore::ReleaseAll(int session) {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::erase_if(
        documents_, [&](const auto& entry) { return entry.second.session == session; }));
}

std::size_t DocumentStore::Size() const {
    std::lock_guard lock(mutex_);
    return documents_.size();
}

std::size_t DocumentStore::SizeOf(int session) const {
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const auto& [handle, e] : documents_)
        n += e.session == session;
    return n;
}

}  // namespace vorn::devserver
