#include "devserver/net/document_store.h"

#include <sys/mman.h>

#include <algorithm>
#include <limits>

#include "devserver/files/code_hash.h"

namespace vorn::devserver {
std::string ByteSizeText(std::size_t bytes) {
    constexpr std::size_t kKiB = 1024, kMiB = DocumentBudget::kMiB;
    if (bytes < kMiB) return std::to_string((bytes + kKiB - 1) / kKiB) + " KiB";
    const std::size_t tenths = (bytes * 10 + kMiB - 1) / kMiB;
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10) text += "." + std::to_string(tenths % 10);
    return text + " MiB";
}

Document::Document(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size();
    // Ends are kept in 32 bits; a budget far below 4 GiB refuses such a document long before.
    if (size > std::numeric_limits<std::uint32_t>::max())
        throw DocumentRefused("The document is too large to keep.");
    text_.reserve(size);
    ends_.reserve(lines.size());
    for (const std::string& line : lines) {
        text_ += line;
        ends_.push_back(static_cast<std::uint32_t>(text_.size()));
    }
}

std::string Document::Line(std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return text_.substr(begin, ends_[i] - begin);
}

std::size_t Document::BytesOf(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size();
    return BytesOf(size, lines.size());
}

SharedDocumentBytes* MapSharedDocumentBytes() {
    void* at = ::mmap(nullptr, sizeof(SharedDocumentBytes), PROT_READ | PROT_WRITE,
                      MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (at == MAP_FAILED) throw std::runtime_error("cannot map the documents' shared count");
    return new (at) SharedDocumentBytes();
}

std::string DocumentStore::TooLargeFor(const DocumentBudget& budget) {
    return "The document is too large to keep: it takes more than the " +
           ByteSizeText(budget.perSession) +
           " of documents a session may keep. Ask for fewer records.";
}

std::string DocumentStore::TooLarge() const {
    return TooLargeFor(budget());
}

std::string DocumentStore::Refusal(int session, std::size_t bytes) const {
    if (bytes > budget_.perSession) return TooLargeFor(budget_);
    const auto mine = bytesBySession_.find(session);
    const std::size_t others = AllBytes() - (mine == bytesBySession_.end() ? 0 : mine->second);
    // Only this session's documents may make room, so what the others keep is fixed.
    if (others + bytes > budget_.total)
        return "The server is keeping its limit of " + ByteSizeText(budget_.total) +
               " of documents for other sessions, so this document (" + ByteSizeText(bytes) +
               ") is not kept. Try again when they are read.";
    return {};
}

void DocumentStore::CheckRoom(int session, std::size_t bytes) const {
    std::lock_guard lock(mutex_);
    if (std::string why = Refusal(session, bytes); !why.empty()) throw DocumentRefused(why);
}

std::string DocumentStore::Add(int session, const std::vector<std::string>& lines) {
    const std::size_t bytes = Document::BytesOf(lines);
    CheckRoom(session, bytes);
    Document document(lines);
    std::string handle = RandomToken(16);

    std::lock_guard lock(mutex_);
    if (std::string why = Refusal(session, bytes); !why.empty()) throw DocumentRefused(why);
    auto mine = [&] {
        const auto it = bytesBySession_.find(session);
        return it == bytesBySession_.end() ? std::size_t{0} : it->second;
    };
    std::vector<std::map<std::string, Entry>::iterator> own;  // oldest first
    for (auto it = documents_.begin(); it != documents_.end(); ++it)
        if (it->second.session == session) own.push_back(it);
    std::sort(own.begin(), own.end(),
              [](const auto& a, const auto& b) { return a->second.serial < b->second.serial; });
    std::size_t kept = own.size();
    for (auto it = own.begin(); it != own.end(); ++it, --kept) {
        const bool fits =
            mine() + bytes <= budget_.perSession && AllBytes() + bytes <= budget_.total;
        if (fits && kept < kMaxPerSession) break;
        Drop(*it);
    }
    if (shared_) {
        // Another process may have taken the room since the check: the count decides.
        if (shared_->total.fetch_add(bytes) + bytes > budget_.total) {
            shared_->total.fetch_sub(bytes);
            throw DocumentRefused(Refusal(session, bytes));
        }
        if (part_ >= 0) shared_->part[part_].fetch_add(bytes);
    }
    documents_.emplace(handle, Entry{session, ++serial_, 0, std::move(document)});
    bytesBySession_[session] += bytes;
    bytes_ += bytes;
    return handle;
}

void DocumentStore::Drop(std::map<std::string, Entry>::iterator it) {
    const std::size_t bytes = it->second.document.Bytes();
    bytes_ -= bytes;
    if (shared_) {
        shared_->total.fetch_sub(bytes);
        if (part_ >= 0) shared_->part[part_].fetch_sub(bytes);
    }
    const auto mine = bytesBySession_.find(it->second.session);
    if (mine != bytesBySession_.end() && (mine->second -= bytes) == 0) bytesBySession_.erase(mine);
    documents_.erase(it);
}

std::optional<DocumentPage> DocumentStore::Read(int session, const std::string& handle,
                                                std::size_t count) {
    std::lock_guard lock(mutex_);
    const auto it = documents_.find(handle);
    if (it == documents_.end() || it->second.session != session) return std::nullopt;
    Entry& e = it->second;
    DocumentPage page;
    const std::size_t total = e.document.LineCount();
    const std::size_t end = std::min(total, e.position + count);
    page.lines.reserve(end - e.position);
    for (std::size_t i = e.position; i < end; ++i)
        page.lines.push_back(e.document.Line(i));
    page.position = e.position = end;
    page.more = end < total;
    if (!page.more) Drop(it);
    return page;
}

bool DocumentStore::Remove(int session, const std::string& handle) {
    std::lock_guard lock(mutex_);
    const auto it = documents_.find(handle);
    if (it == documents_.end() || it->second.session != session) return false;
    Drop(it);
    return true;
}

int DocumentStore::ReleaseAll(int session) {
    std::lock_guard lock(mutex_);
    int n = 0;
    for (auto it = documents_.begin(); it != documents_.end();) {
        const auto next = std::next(it);
        if (it->second.session == session) {
            Drop(it);
            ++n;
        }
        it = next;
    }
    return n;
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

std::size_t DocumentStore::Bytes() const {
    std::lock_guard lock(mutex_);
    return AllBytes();
}

std::size_t DocumentStore::BytesOf(int session) const {
    std::lock_guard lock(mutex_);
    const auto it = bytesBySession_.find(session);
    return it == bytesBySession_.end() ? 0 : it->second;
}

}  // namespace vorn::devserver
