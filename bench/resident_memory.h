// A process's resident memory as the kernel counts it, for the benchmarks that watch the
// server's footprint under load.
#pragma once

#include <sys/types.h>

#include <fstream>
#include <string>

namespace vorn::bench {

// VmRSS (or another "Vm..." line, such as the peak "VmHWM") of /proc/PID/status in KiB; -1 when
// the process is gone.
inline long StatusKiB(pid_t pid, const std::string& field = "VmRSS") {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    return -1;
}

inline double MiB(long kib) {
    return static_cast<double>(kib) / 1024.0;
}

}  // namespace vorn::bench
