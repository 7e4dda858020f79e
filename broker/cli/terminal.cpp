#include "broker/cli/terminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <fstream>
#include <iostream>

namespace vorn::cli {
namespace {

// Switches the terminal's echo off for the lifetime of the object.
class EchoOff {
  public:
    explicit EchoOff(int fd) : fd_(fd) {
        if (fd_ >= 0 && tcgetattr(fd_, &saved_) == 0) {
            termios quiet = saved_;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            active_ = tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
        }
    }
    ~EchoOff() {
        if (active_) tcsetattr(fd_, TCSAFLUSH, &saved_);
    }
    bool active() const { return active_; }

  private:
    int fd_;
    termios saved_{};
    bool active_ = false;
};

}  // namespace

Terminal& Terminal::Process() {
    static std::ifstream tty("/dev/tty");
    static const int ttyFd = tty.is_open() ? ::open("/dev/tty", O_RDONLY | O_CLOEXEC) : -1;
    static Terminal terminal(tty.is_open() ? static_cast<std::istream&>(tty) : std::cin, std::cerr,
                             ttyFd >= 0 ? ttyFd : (isatty(STDIN_FILENO) ? STDIN_FILENO : -1));
    return terminal;
}

Terminal::Terminal(std::istream& in, std::ostream& out, int echoFd)
    : in_(in), out_(out), echoFd_(echoFd) {}

std::optional<std::string> Terminal::Ask(const std::string& prompt, bool secret) {
    out_ << prompt << std::flush;
    std::string line;
    bool got;
    {
        EchoOff quiet(secret ? echoFd_ : -1);
        got = static_cast<bool>(std::getline(in_, line));
        if (quiet.active()) out_ << '\n';
    }
    if (!got) {
        out_ << '\n';
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void Terminal::Say(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    out_ << out;
    if (out.empty() || out.back() != '\n') out_ << '\n';
    out_ << std::flush;
}

}  // namespace vorn::cli
