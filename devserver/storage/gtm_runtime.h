// GT.M in this process: finding it, preparing a database folder, and calling our routine.
//
// GT.M is loaded with dlopen, so the server builds and runs without it; only --engine gtm
// needs it, and says clearly when it is missing. gtm_init takes its set-up from the
// environment, once per process: the first database folder used fixes where the routine and
// the call-in table are; later folders are reached by setting $ZGBLDIR. Call-ins are
// single-threaded, so every call goes through one mutex.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace vorn::devserver {

// What a database folder holds.
struct GtmFolder {
    std::string dir;
    std::string Gld() const { return dir + "/vorn.gld"; }
    std::string Dat() const { return dir + "/vorn.dat"; }
    std::string Journal() const { return dir + "/vorn.mjl"; }
    std::string Routines() const { return dir + "/routines"; }
    std::string CallIns() const { return Routines() + "/vorn.ci"; }
};

// $gtm_dist when set (and "" when it holds no GT.M), else the newest GT.M under Debian's path;
// "" when none is installed.
std::string FindGtmDist();
// Why FindGtmDist found nothing, said for the user.
std::string GtmMissing();

// The environment that `mumps -direct` needs to open the folder's database with our routine.
std::vector<std::pair<std::string, std::string>> GtmEnvironment(const std::string& dist,
                                                                const GtmFolder& folder);

// Makes the folder usable: the routine and call-in table, the global directory and the database
// with before-image journaling, created when missing; a database left open by a killed process
// is recovered from its journal. Runs GT.M's tools as child processes only, so it may be used
// before forking. Throws StoreError saying what is wrong.
void PrepareGtmFolder(const GtmFolder& folder);

// Clears the M LOCKs a killed process left (GT.M finds a dead owner only when a LOCK waits for
// a while; a refusal "at once" never would). Runs LKE as a child process.
// Gives the locks removed ("none" when there were none).
std::string ClearLocksOf(const GtmFolder& folder, int pid);

// A gtm_string_t as the call-in interface takes it.
struct GtmString {
    long length;
    char* address;
};

class GtmRuntime {
  public:
    // The process's runtime, initialised on first use with `folder`'s set-up.
    static GtmRuntime& For(const GtmFolder& folder);
    // Whether gtm_init has run in this process.
    static bool Initialised();
    // gtm_exit when GT.M runs in this process: its databases are closed cleanly.
    static void ExitIfInitialised();

    // One call-in, with $ZGBLDIR pointing at `gld`; throws StoreError with GT.M's $ZSTATUS.
    template <typename... Args>
    void Call(const std::string& gld, const char* name, Args... args) {
        const std::lock_guard hold(mutex_);
        Switch(gld);
        Check(name, ci_(name, args...));
    }
    std::recursive_mutex& mutex() { return mutex_; }
    // Buffers for output strings, reused: only while holding mutex().
    GtmString Out(int which);
    static constexpr long kOutBytes = 1048576 + 64;

  private:
    explicit GtmRuntime(const GtmFolder& folder);
    void Switch(const std::string& gld);
    void Check(const char* name, int status);

    using CiFn = int (*)(const char*, ...);
    using ZstatusFn = void (*)(char*, int);
    std::recursive_mutex mutex_;
    CiFn ci_ = nullptr;
    ZstatusFn zstatus_ = nullptr;
    std::string gld_;
    std::vector<char> out_[2];
};

}  // namespace vorn::devserver
