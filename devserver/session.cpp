#include "devserver/session.h"

namespace vorn::devserver {

Session::Session(ServerContext& server, int id)
    : server_(server),
      id_(id),
      store_(std::make_unique<GlobalStore>(server.databasePath)),
      users_(std::make_unique<UserStore>(*store_, server.hashIterations)),
      locks_(server.locks, id),
      documents_(server.documents, id) {
    if (server_.autoSignOn) {
        if (auto u = users_->ByDuz(*server_.autoSignOn)) user_ = *u;
    }
}

Session::~Session() = default;

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
    return !ien.empty() && server_.locks.Lock(id_, f, ien, clock().WallNow());
}

bool Session::UnlockRecord(const FileDef& file, const std::vector<std::string>& iens) {
    const auto [f, ien] = LockKey(file, iens);
    return locks_.Unlock(f, ien);
}

bool Session::LockedByOther(const FileDef& file, const std::vector<std::string>& iens) const {
    const auto [f, ien] = LockKey(file, iens);
    return server_.locks.HeldByOther(id_, f, ien);
}

Reply Session::Handle(const Call& call) {
    if (!server_.registry) return Reply::MError(NoSuchProcedure(call.name));
    return server_.registry->Dispatch(*this, call);
}

void Session::Note(const std::string& text) {
    if (server_.log) server_.log->Note(id_, text);
}

}  // namespace vorn::devserver
