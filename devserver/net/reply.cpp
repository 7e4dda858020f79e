#include "devserver/net/reply.h"

#include "common/counted_fields.h"

namespace vorn::devserver {
namespace {

// The client ends a reply at a 0x04 that closes a received chunk, so none may appear inside
// the data; M text never holds one, but a stored value might.
std::string Clean(std::string text) {
    for (char& c : text)
        if (c == wire::kEndOfReply) c = ' ';
    return text;
}

// Appends `text` cleaned as Clean does, without a copy of its own.
void AppendClean(std::string& out, const std::string& text) {
    const std::size_t from = out.size();
    out += text;
    for (std::size_t i = from; i < out.size(); ++i)
        if (out[i] == wire::kEndOfReply) out[i] = ' ';
}

}  // namespace

Reply Reply::Lines(std::vector<std::string> lines) {
    Reply r;
    r.kind_ = Kind::Lines;
    r.lines_ = std::move(lines);
    return r;
}

Reply Reply::Value(std::string value) {
    Reply r;
    r.kind_ = Kind::Value;
    r.text_ = std::move(value);
    return r;
}

Reply Reply::MError(std::string text) {
    Reply r;
    r.kind_ = Kind::MError;
    r.text_ = std::move(text);
    return r;
}

std::string Reply::Data() const {
    switch (kind_) {
        case Kind::Value:
            return Clean(text_);
        case Kind::MError:
            return std::string(1, wire::kServerError) + Clean(text_);
        case Kind::Lines:
            break;
    }
    std::string out;
    std::size_t size = 0;
    for (const auto& l : lines_)
        size += l.size() + 2;
    out.reserve(size);
    for (const auto& l : lines_) {
        AppendClean(out, l);
        out += "\r\n";
    }
    return out;
}

std::string FrameData(const std::string& data) {
    std::string out;
    out.reserve(data.size() + 3);
    out += '\0';
    out += '\0';
    out += data;
    out += wire::kEndOfReply;
    return out;
}

std::string Reply::Frame() const {
    return FrameData(Data());
}

std::string NoSuchProcedure(const std::string& name) {
    return "Remote procedure '" + name + "' doesn't exist on the server.";
}

}  // namespace vorn::devserver
