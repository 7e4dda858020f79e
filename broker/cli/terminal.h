// Questions asked on the terminal: a prompt on the error stream and an answer read from the
// terminal, without echo for secrets. Tests hand in their own streams.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace vorn::cli {

class Terminal {
  public:
    // The process's terminal: /dev/tty when there is one, else standard input; prompts and
    // messages go to standard error.
    static Terminal& Process();
    Terminal(std::istream& in, std::ostream& out, int echoFd = -1);

    // Prints `prompt` and reads one line; no echo when `secret` and the input is a terminal.
    // Nothing when the input has ended.
    std::optional<std::string> Ask(const std::string& prompt, bool secret);
    // Prints a line (the server's texts may hold CR or CR LF line breaks).
    void Say(const std::string& text);

  private:
    std::istream& in_;
    std::ostream& out_;
    int echoFd_;  // descriptor whose echo is switched off for secrets, or -1
};

}  // namespace vorn::cli
