// Reading one message of the broker protocol, server side: the handshake, a call with its
// parameters, or the goodbye. The parser pulls bytes from a MessageSource, so the same code reads
// from a socket (with its time limit and size limit) and from memory (tests, the fuzz target).
//
// The five-digit count after "{XWB}" is the last five digits of the message's length, as the
// client computes it; a message longer than 99999 bytes (large list parameters) is therefore read
// by its structure, and the count is checked modulo 100000. Every other count must be exactly
// its number of decimal digits.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "devserver/m/collation.h"

namespace vorn::devserver {

// Where the parser's bytes come from. Read appends exactly `n` bytes to `out`, or throws
// SourceEnded (closed, timed out, over the size limit: the source says which).
class MessageSource {
  public:
    virtual ~MessageSource() = default;
    virtual void Read(std::string& out, std::size_t n) = 0;
};

// The message cannot be read to its end; `what()` says why, for the log.
class SourceEnded : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
// The bytes are not a message of the protocol.
class MalformedMessage : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A source over bytes in memory.
class MemorySource final : public MessageSource {
  public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    void Read(std::string& out, std::size_t n) override;
    std::size_t Remaining() const { return bytes_.size() - pos_; }

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

// One entry of a list parameter.
struct ListEntry {
    std::string rawSubscript;  // as it arrived ("\"FROM\",\"IEN\"")
    Subscripts subscripts;     // parsed ({"FROM", "IEN"})
    std::string value;         // the byte 0x01 (an empty value on the wire) is given as ""
};

enum class ParamType { Literal = 0, Reference = 1, List = 2 };

struct Param {
    ParamType type = ParamType::Literal;
    std::string value;  // literal and reference; ".x" for a list
    std::vector<ListEntry> entries;

    // The value of the entry whose subscripts are exactly these; nullptr when none.
    const std::string* Find(const Subscripts& subscripts) const;
    const std::string* Find(std::string_view subscript) const;
    // The value, or "" when the entry is absent.
    std::string Get(std::string_view subscript) const;
    std::string Get(const Subscripts& subscripts) const;
    bool Has(std::string_view subscript) const { return Find(subscript) != nullptr; }
};

struct Call {
    std::string version;
    std::string name;
    std::vector<Param> params;

    // Parameter i, or nullptr when the call has fewer.
    const Param* At(std::size_t i) const { return i < params.size() ? &params[i] : nullptr; }
    // The literal value of parameter i, or "" when there is none.
    std::string Literal(std::size_t i) const;
};

struct Handshake {
    std::string version;
    std::string address;  // the call-back address the client announced
    int port = 0;
    std::string host;
};

struct Message {
    enum class Kind { Handshake, Call, Goodbye } kind = Kind::Call;
    Handshake handshake;
    Call call;
};

// Reads one whole message; throws MalformedMessage or SourceEnded.
Message ReadMessage(MessageSource& source);

}  // namespace vorn::devserver
