#include "source/internal/session_locks.h"

#include <QList>

namespace vorn::session_locks {
namespace {

struct Entry {
    LockKey key;
    QList<const void*> holders;
};

// Few records are locked at a time; a list is enough.
QList<Entry>& Table() {
    static QList<Entry> table;
    return table;
}

Entry* Find(const LockKey& key) {
    for (Entry& e : Table())
        if (e.key == key) return &e;
    return nullptr;
}

}  // namespace

bool Share(const LockKey& key, const void* holder) {
    Entry* e = Find(key);
    if (!e) return false;
    if (!e->holders.contains(holder)) e->holders.append(holder);
    return true;
}

void Hold(const LockKey& key, const void* holder) {
    if (Share(key, holder)) return;
    Table().append({key, {holder}});
}

bool Leave(const LockKey& key, const void* holder) {
    Entry* e = Find(key);
    if (!e) return false;
    e->holders.removeAll(holder);
    if (!e->holders.isEmpty()) return false;
    Table().removeIf([&](const Entry& x) { return x.key == key; });
    return true;
}

int Holders(const LockKey& key) {
    const Entry* e = Find(key);
    return e ? static_cast<int>(e->holders.size()) : 0;
}

}  // namespace vorn::session_locks
