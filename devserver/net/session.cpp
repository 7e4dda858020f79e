#include "devserver/net/session.h"

#include "devserver/storage/gtm_store.h"

namespace vorn::devserver {

Session::Session(ServerContext& server, int id)
    : server_(server),
      id_(id),
      store_(OpenStore(server.storeLocation)),
      users_(std::make_unique<UserStore>(*store_, server.hashIterations)),
      locks_(server.locks, id),
      documents_(server.documents, id) {
    if (server_.autoSignOn) {
        if (auto u = users_->ByDuz(*server_.autoSignOn)) user_ = *u;
    }
}

Session::~Session() {
    // A session process's M LOCKs go with the process.
    if (!store_->Handle() && !server_.sessionProcesses)
        for (const auto& [file, ien] : server_.locks.HeldBy(id_))
            MUnlock(file, ien);
}

GtmGlobalStore* Session::ProcessLocks() const {
    return server_.sessionProcesses ? dynamic_cast<GtmGlobalStore*>(store_.get()) : nullptr;
}

std::optional<GlobalRef> Session::RecordNode(const std::string& file,
                                             const std::string& ien) const {
    const FileDef* f = dictionary().File(file);
    if (!f || ien.empty()) return std::nullopt;
    return f->root.Child(ien);
}

bool Session::MLock(const std::string& file, const std::string& ien) {
    auto* gtm = dynamic_cast<GtmGlobalStore*>(store_.get());
    const FileDef* f = dictionary().File(file);
    if (!gtm || !f) return true;
    return gtm->Lock(f->root.Child(ien));
}

void Session::MUnlock(const std::string& file, const std::string& ien) {
    auto* gtm = dynamic_cast<GtmGlobalStore*>(store_.get());
    const FileDef* f = dictionary().File(file);
    if (!gtm || !f) return;
    try {
        gtm->Unlock(f->root.Child(ien));
    } catch (const StoreError& e) {
        Note(e.what());
    }
}

void Session::SignOn(const User& user) {
    if (user_ && user_->duz != user.duz) contexts_.clear();  // another user's contexts
    user_ = user;
    pendingDuz_.reset();
    failedAttempts = 0;
}

FileAccess Session::Access(const FileDef& file) const {
    return user_ ? AccessFor(*user_, file) : FileAccess{};
}

std::pair<std::string, std::string> Session::LockKey(const FileDef& file,
                                                     const std::vector<std::string>& iens) const {
    const FileDef& top = dictionary().TopLevel(file);
    return {top.number, iens.empty() ? std::string() : iens.back()};
}

bool Session::LockRecord(const FileDef& file, const std::vector<std::string>& iens) {
    const auto [f, ien] = LockKey(file, iens);
    if (GtmGlobalStore* m = ProcessLocks()) {
        const auto node = RecordNode(f, ien);
        if (!node || !m->Lock(*node)) return false;
        ++held_[{f, ien}];
        return true;
    }
    if (ien.empty() || !server_.locks.Lock(id_, f, ien, clock().WallNow())) return false;
    const auto holder = server_.locks.HolderOf(f, ien);
    if (!holder || holder->count != 1 || MLock(f, ien)) return true;
    server_.locks.Unlock(id_, f, ien);  // an M process holds it
    return false;
}

bool Session::UnlockRecord(const FileDef& file, const std::vector<std::string>& iens) {
    const auto [f, ien] = LockKey(file, iens);
    if (GtmGlobalStore* m = ProcessLocks()) {
        const auto held = held_.find({f, ien});
        if (held == held_.end()) return false;
        m->Unlock(*RecordNode(f, ien));
        if (--held->second == 0) held_.erase(held);
        return true;
    }
    if (!locks_.Unlock(f, ien)) return false;
    if (!server_.locks.HolderOf(f, ien)) MUnlock(f, ien);
    return true;
}

bool Session::LockedByOther(const FileDef& file, const std::vector<std::string>& iens) const {
    const auto [f, ien] = LockKey(file, iens);
    if (GtmGlobalStore* m = ProcessLocks()) {
        const auto node = RecordNode(f, ien);
        if (!node || held_.count({f, ien})) return false;
        // Free when this process can take it at once; then it is given back.
        if (!m->Lock(*node)) return true;
        m->Unlock(*node);
        return false;
    }
    return server_.locks.HeldByOther(id_, f, ien);
}

bool Session::ChangesData(const std::string& procedure) {
    return procedure == "DDR FILER" || procedure == "VRNX RECORD DELETE" || procedure == "XUS CVC";
}

Reply Session::Handle(const Call& call) {
    if (!server_.registry) return Reply::MError(NoSuchProcedure(call.name));
    if (server_.readOnly && ChangesData(call.name)) return Reply::MError(kReadOnlyRefusal);
    return server_.registry->Dispatch(*this, call);
}

void Session::Note(const std::string& text) {
    if (server_.log) server_.log->Note(id_, text);
}

}  // namespace vorn::devserver
