// What a remote procedure answers: a list of lines (each sent with CR LF after it), a single
// value (sent bare), or an M error (0x18 and its text). Framed as: an empty security segment,
// an empty application segment, the data, 0x04.
#pragma once

#include <string>
#include <vector>

namespace vorn::devserver {

class Reply {
  public:
    enum class Kind { Lines, Value, MError };

    static Reply Lines(std::vector<std::string> lines);
    static Reply Value(std::string value);
    static Reply MError(std::string text);

    Kind kind() const { return kind_; }
    const std::vector<std::string>& lines() const { return lines_; }
    // The single value or the M error's text.
    const std::string& text() const { return text_; }

    // The data part: the lines joined with CR LF after each, the value, or 0x18 + text.
    std::string Data() const;
    // The whole reply as it goes on the wire.
    std::string Frame() const;

  private:
    Kind kind_ = Kind::Lines;
    std::vector<std::string> lines_;
    std::string text_;
};

// A reply frame around raw data (the handshake's "accept").
std::string FrameData(const std::string& data);

// The M errors of the authorisation checks, as the client shows them.
inline constexpr const char* kNotSignedOn = "You are not signed on.";
inline constexpr const char* kNoContext = "Application context has not been created!";
std::string NoSuchProcedure(const std::string& name);

}  // namespace vorn::devserver
