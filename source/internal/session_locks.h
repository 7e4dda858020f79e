// The record locks this program holds on the server. The server counts a session's locks (two
// locks need two unlocks), and several sources of one session may need the same record: a
// master and its hierarchical detail both lock the master's record. Each record is therefore
// locked once per link, and unlocked when the last source that needs it lets go.
#pragma once

#include <QString>
#include <QtGlobal>

namespace vorn {

struct LockKey {
    quint64 link = 0;  // the serial of the link the lock was taken on
    QString file;
    QString record;  // a top-level record number
    bool operator==(const LockKey&) const = default;
};

namespace session_locks {

// When others hold the lock of `key`, adds `holder` to them and answers true: the record is
// locked already and the server is not asked again.
bool Share(const LockKey& key, const void* holder);
// Records `holder` as holding the lock the server has just granted.
void Hold(const LockKey& key, const void* holder);
// Takes `holder` out; true when nobody holds the lock any more, so that the caller gives it
// back to the server.
bool Leave(const LockKey& key, const void* holder);
int Holders(const LockKey& key);

}  // namespace session_locks
}  // namespace vorn
