#include "devserver/net/lock_table.h"

namespace vorn::devserver {

bool LockTable::Lock(int session, const std::string& file, const std::string& ien,
                     std::chrono::system_clock::time_point now) {
    std::lock_guard lock(mutex_);
    auto [it, fresh] = locks_.try_emplace(Key{file, ien}, Holder{session, 0, now});
    if (!fresh && it->second.session != session) return false;
    ++it->second.count;
    return true;
}

bool LockTable::Unlock(int session, const std::string& file, const std::string& ien) {
    std::lock_guard lock(mutex_);
    const auto it = locks_.find(Key{file, ien});
    if (it == locks_.end() || it->second.session != session) return false;
    if (--it->second.count == 0) locks_.erase(it);
    return true;
}

std::optional<LockTable::Holder> LockTable::HolderOf(const std::string& file,
                                                     const std::string& ien) const {
    std::lock_guard lock(mutex_);
    const auto it = locks_.find(Key{file, ien});
    if (it == locks_.end()) return std::nullopt;
    return it->second;
}

bool LockTable::HeldByOther(int session, const std::string& file, const std::string& ien) const {
    const auto h = HolderOf(file, ien);
    return h && h->session != session;
}

int LockTable::ReleaseAll(int session) {
    std::lock_guard lock(mutex_);
    return static_cast<int>(
        std::erase_if(locks_, [&](const auto& entry) { return entry.second.session == session; }));
}

std::vector<std::pair<std::string, std::string>> LockTable::HeldBy(int session) const {
    std::lock_guard lock(mutex_);
    std::vector<Key> out;
    for (const auto& [key, holder] : locks_)
        if (holder.session == session) out.push_back(key);
    return out;
}

std::size_t LockTable::Size() const {
    std::lock_guard lock(mutex_);
    return locks_.size();
}

}  // namespace vorn::devserver
