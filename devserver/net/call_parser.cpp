#include "devserver/net/call_parser.h"

#include "devserver/m/m_subscripts.h"
#include "devserver/m/text.h"

namespace vorn::devserver {
namespace {

// Counts the bytes taken after the "{XWB}" and the count, for the check against that count.
class Reader {
  public:
    explicit Reader(MessageSource& source) : source_(source) {}

    std::string Take(std::size_t n) {
        std::string out;
        if (n) source_.Read(out, n);
        taken_ += n;
        return out;
    }
    std::size_t Count(int digits) {
        const std::string text = Take(static_cast<std::size_t>(digits));
        std::size_t value = 0;
        for (char c : text) {
            if (c < '0' || c > '9')
                throw MalformedMessage("a count that is not " + std::to_string(digits) +
                                       " decimal digits");
            value = value * 10 + static_cast<std::size_t>(c - '0');
        }
        return value;
    }
    std::string Counted(int digits) { return Take(Count(digits)); }
    void StartCounting() { taken_ = 0; }
    std::size_t Taken() const { return taken_; }

  private:
    MessageSource& source_;
    std::size_t taken_ = 0;
};

Handshake ParseHandshake(std::string version, std::string_view text) {
    // "TCPconnect^address^port^host^"
    Handshake h;
    h.version = std::move(version);
    const std::vector<std::string> pieces = SplitText(text, '^');
    if (pieces.size() < 4 || pieces[0] != "TCPconnect")
        throw MalformedMessage("a handshake without its pieces");
    h.address = pieces[1];
    const std::string& port = pieces[2];
    if (port.size() > 5 || !AllDigits(port) || std::stoi(port) < 1 || std::stoi(port) > 65535)
        throw MalformedMessage("a handshake whose call-back port is not a port number");
    h.port = std::stoi(port);
    h.host = pieces[3];
    return h;
}

// The parameter text: three-digit counted items, each a type character and the value.
std::vector<Param> ParseParams(std::string_view text) {
    std::vector<Param> params;
    MemorySource source(text);
    Reader r(source);
    try {
        while (source.Remaining() > 0) {
            const std::string item = r.Counted(3);
            if (item.empty()) throw MalformedMessage("an empty parameter");
            Param p;
            switch (item[0]) {
                case '0':
                    p.type = ParamType::Literal;
                    break;
                case '1':
                    p.type = ParamType::Reference;
                    break;
                case '2':
                    p.type = ParamType::List;
                    break;
                default:
                    throw MalformedMessage(std::string("unknown parameter type \"") + item[0] +
                                           "\"");
            }
            p.value = item.substr(1);
            params.push_back(std::move(p));
        }
    } catch (const SourceEnded&) {
        throw MalformedMessage("a parameter longer than the parameter text");
    }
    return params;
}

Call ParseCall(std::string version, std::string_view block, Reader& r) {
    // block = "007XWB;;;;" + five-digit counted (flag, name, "^", five-digit counted parameters)
    MemorySource source(block);
    Reader b(source);
    Call call;
    call.version = std::move(version);
    std::string procedure;
    try {
        if (b.Counted(3) != "XWB;;;;") throw MalformedMessage("a call block without its header");
        procedure = b.Counted(5);
    } catch (const SourceEnded&) {
        throw MalformedMessage("a call block cut short");
    }
    if (source.Remaining() != 0) throw MalformedMessage("bytes after the procedure part");
    if (procedure.size() < 2 || (procedure[0] != '0' && procedure[0] != '1'))
        throw MalformedMessage("a procedure part without its list flag");
    const bool listFlag = procedure[0] == '1';
    const auto caret = procedure.find('^');
    if (caret == std::string::npos || caret == 1)
        throw MalformedMessage("a procedure part without a name");
    call.name = procedure.substr(1, caret - 1);
    MemorySource paramSource(std::string_view(procedure).substr(caret + 1));
    Reader pr(paramSource);
    std::string paramText;
    try {
        paramText = pr.Counted(5);
    } catch (const SourceEnded&) {
        throw MalformedMessage("a parameter text cut short");
    }
    if (paramSource.Remaining() != 0) throw MalformedMessage("bytes after the parameter text");
    call.params = ParseParams(paramText);

    bool hasList = false;
    for (const Param& p : call.params)
        hasList = hasList || p.type == ParamType::List;
    if (hasList != listFlag)
        throw MalformedMessage("a list flag that does not match the parameters");
    for (Param& p : call.params) {
        if (p.type != ParamType::List) continue;
        for (;;) {
            const std::string subscript = r.Counted(3);
            if (subscript.empty()) break;  // "000" ends the list
            ListEntry e;
            e.rawSubscript = subscript;
            e.subscripts = ParseSubscriptText(subscript);
            e.value = r.Counted(3);
            if (e.value == "\x01") e.value.clear();
            p.entries.push_back(std::move(e));
        }
    }
    return call;
}

}  // namespace

void MemorySource::Read(std::string& out, std::size_t n) {
    if (Remaining() < n) {
        pos_ = bytes_.size();
        throw SourceEnded("the message ended early");
    }
    out.append(bytes_.substr(pos_, n));
    pos_ += n;
}

const std::string* Param::Find(const Subscripts& subscripts) const {
    for (const ListEntry& e : entries)
        if (e.subscripts == subscripts) return &e.value;
    return nullptr;
}

const std::string* Param::Find(std::string_view subscript) const {
    for (const ListEntry& e : entries)
        if (e.subscripts.size() == 1 && e.subscripts[0] == subscript) return &e.value;
    return nullptr;
}

std::string Param::Get(std::string_view subscript) const {
    const std::string* v = Find(subscript);
    return v ? *v : std::string();
}

std::string Param::Get(const Subscripts& subscripts) const {
    const std::string* v = Find(subscripts);
    return v ? *v : std::string();
}

std::string Call::Literal(std::size_t i) const {
    const Param* p = At(i);
    return p && p->type != ParamType::List ? p->value : std::string();
}

Message ReadMessage(MessageSource& source) {
    Reader r(source);
    if (r.Take(5) != "{XWB}") throw MalformedMessage("a message that does not begin with {XWB}");
    const std::size_t count = r.Count(5);
    r.StartCounting();
    Message m;
    const std::string first = r.Take(1);
    if (first == "|") {
        const std::string length = r.Take(1);
        std::string version = r.Take(static_cast<unsigned char>(length[0]));
        const std::string block = r.Counted(5);
        if (block.rfind("TCPconnect^", 0) == 0) {
            m.kind = Message::Kind::Handshake;
            m.handshake = ParseHandshake(std::move(version), block);
        } else if (block.rfind("007XWB;;;;", 0) == 0) {
            m.kind = Message::Kind::Call;
            m.call = ParseCall(std::move(version), block, r);
        } else {
            throw MalformedMessage("a message that is neither a handshake nor a call");
        }
    } else {
        // The goodbye carries no version: "00005#BYE#".
        std::string digits = first + r.Take(4);
        MemorySource d(digits);
        const std::size_t n = Reader(d).Count(5);
        if (n != 5 || r.Take(n) != "#BYE#")
            throw MalformedMessage("a message that is neither a call nor the goodbye");
        m.kind = Message::Kind::Goodbye;
    }
    if (r.Taken() % 100000 != count)
        throw MalformedMessage("a message whose count (" + std::to_string(count) +
                               ") is not its length (" + std::to_string(r.Taken()) + ")");
    return m;
}

}  // namespace vorn::devserver
