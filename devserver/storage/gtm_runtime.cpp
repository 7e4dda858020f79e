#include "devserver/storage/gtm_runtime.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "devserver/storage/gtm_routine.h"
#include "devserver/storage/sql_statement.h"

namespace vorn::devserver {
namespace fs = std::filesystem;

namespace {

constexpr const char* kDebianGtm = "/usr/lib/x86_64-linux-gnu/fis-gtm";

bool g_initialised = false;

// Runs a GT.M tool with the folder's environment; gives its exit status and what it printed.
// A tool that only tidies up for the calling thread may `endWithCaller`: left running after the
// server died, it would keep the database open, and the next start's recovery would wait for it.
int RunTool(const std::string& dist, const GtmFolder& folder, const std::vector<std::string>& argv,
            const std::string& input, std::string& output, bool endWithCaller = false) {
    static std::atomic<int> serial{0};
    const std::string stem =
        folder.dir + "/.tool-" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
    const std::string outFile = stem + ".out";
    const std::string inFile = stem + ".in";
    {
        std::ofstream in(inFile, std::ios::trunc);
        in << input;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) throw StoreError("fork failed");
    if (pid == 0) {
        if (endWithCaller) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent) ::_exit(126);
        }
        for (const auto& [k, v] : GtmEnvironment(dist, folder))
            ::setenv(k.c_str(), v.c_str(), 1);
        const int in = ::open(inFile.c_str(), O_RDONLY);
        const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0) ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(out, 2);
        if (::chdir(folder.dir.c_str()) != 0) ::_exit(126);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    std::ifstream out(outFile);
    output.assign(std::istreambuf_iterator<char>(out), {});
    std::error_code ignored;
    fs::remove(outFile, ignored);
    fs::remove(inFile, ignored);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ifstream old(path);
    const std::string had{std::istreambuf_iterator<char>(old), {}};
    if (old && had == text) return;
    std::ofstream out(path, std::ios::trunc);
    out << text;
    if (!out) throw StoreError("cannot write " + path);
}

}  // namespace

std::string FindGtmDist() {
    // A gtm_dist that names no installation is a mistake to report, not a hint to pass over:
    // another GT.M found instead would open the database with other tools than the user chose.
    if (const char* dist = std::getenv("gtm_dist"); dist && *dist)
        return fs::exists(fs::path(dist) / "libgtmshr.so") ? dist : "";
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(kDebianGtm, error))
        if (fs::exists(entry.path() / "libgtmshr.so")) found.push_back(entry.path().string());
    if (found.empty()) return {};
    std::sort(found.begin(), found.end());
    return found.back();
}

std::string GtmMissing() {
    if (const char* dist = std::getenv("gtm_dist"); dist && *dist)
        return std::string("gtm_dist is ") + dist +
               ", which holds no GT.M (libgtmshr.so): set it to a GT.M installation, or unset "
               "it to use the fis-gtm package";
    return "GT.M is not installed: --engine gtm needs the fis-gtm package (or gtm_dist set to a "
           "GT.M installation)";
}

std::vector<std::pair<std::string, std::string>> GtmEnvironment(const std::string& dist,
                                                                const GtmFolder& folder) {
    return {{"gtm_dist", dist},
            {"gtmgbldir", folder.Gld()},
            {"gtmroutines", folder.Routines() + " " + dist + "/libgtmutil.so"},
            {"GTMCI", folder.CallIns()},
            // Bytes, not characters: the store keeps bytes, and names of nodes are read as M
            // mode writes them.
            {"gtm_chset", "M"}};
}

void PrepareGtmFolder(const GtmFolder& folder) {
    const std::string dist = FindGtmDist();
    if (dist.empty()) throw StoreError(GtmMissing());
    std::error_code error;
    fs::create_directories(folder.Routines(), error);
    if (error || ::access(folder.dir.c_str(), W_OK) != 0)
        throw StoreError("the GT.M data folder " + folder.dir + " cannot be written");
    WriteFile(folder.Routines() + "/" + kGtmRoutineName + ".m", kGtmRoutine);
    WriteFile(folder.CallIns(), kGtmCallIns);
    std::string out;
    if (!fs::exists(folder.Gld())) {
        // Global buffers bound how much one transaction may change (TRANS2BIG): 4096 of
        // them (16 MiB of shared memory) take a seeding of the demo data several times over.
        const std::string gde =
            "change -segment DEFAULT -block_size=4096 -global_buffer_count=4096\n"
            "change -segment DEFAULT -file_name=" +
            folder.Dat() +
            "\n"
            "change -region DEFAULT -record_size=1048576 -key_size=1019\n"
            "exit\n";
        if (RunTool(dist, folder, {dist + "/mumps", "-run", "GDE"}, gde, out) != 0 ||
            !fs::exists(folder.Gld()))
            throw StoreError("GDE could not make " + folder.Gld() + ": " + out);
    }
    if (!fs::exists(folder.Dat())) {
        if (RunTool(dist, folder, {dist + "/mupip", "create"}, "", out) != 0)
            throw StoreError("mupip create failed: " + out);
        if (RunTool(dist, folder,
                    {dist + "/mupip", "set", "-journal=enable,on,before,file=" + folder.Journal(),
                     "-region", "DEFAULT"},
                    "", out) != 0)
            throw StoreError("mupip could not turn journaling on: " + out);
        return;
    }
    // A database that a killed process left open: roll it back to its last whole transaction
    // from the before-image journal. A database in use by a running process (this one
    // included) is left alone: its rundown fails with "already open".
    const bool crashed =
        RunTool(dist, folder, {dist + "/mupip", "rundown", "-region", "DEFAULT"}, "", out) != 0 &&
        (out.find("MUUSERECOV") != std::string::npos || out.find("REQRECOV") != std::string::npos);
    if (crashed) {
        std::string recovered;
        if (RunTool(dist, folder,
                    {dist + "/mupip", "journal", "-recover", "-backward", folder.Journal()}, "",
                    recovered) != 0)
            throw StoreError("the GT.M database " + folder.Dat() +
                             " needs recovery and mupip could not recover it: " + out + recovered);
        // Recovery turns journaling off on some versions: make sure it is on again.
        RunTool(dist, folder,
                {dist + "/mupip", "set", "-journal=enable,on,before,file=" + folder.Journal(),
                 "-region", "DEFAULT"},
                "", out);
    }
}

std::string ClearLocksOf(const GtmFolder& folder, int pid) {
    const std::string dist = FindGtmDist();
    if (dist.empty()) return {};
    std::string out;
    RunTool(dist, folder,
            {dist + "/lke", "clear", "-all", "-pid=" + std::to_string(pid), "-nointeractive"}, "",
            out, true);
    std::string removed;
    for (std::size_t at = out.find("Lock removed : "); at != std::string::npos;
         at = out.find("Lock removed : ", at + 1)) {
        const std::size_t end = out.find('\n', at);
        if (!removed.empty()) removed += ' ';
        removed += out.substr(at + 15, end == std::string::npos ? end : end - at - 15);
    }
    return removed.empty() ? "none" : removed;
}

bool GtmRuntime::Initialised() {
    return g_initialised;
}

void GtmRuntime::ExitIfInitialised() {
    if (!g_initialised) return;
    if (const auto exit = reinterpret_cast<int (*)()>(::dlsym(RTLD_DEFAULT, "gtm_exit"))) exit();
}

GtmRuntime& GtmRuntime::For(const GtmFolder& folder) {
    static std::mutex once;
    static GtmRuntime* runtime = nullptr;
    const std::lock_guard hold(once);
    if (!runtime) runtime = new GtmRuntime(folder);  // lives as long as the process: GT.M does
    return *runtime;
}

GtmRuntime::GtmRuntime(const GtmFolder& folder) {
    const std::string dist = FindGtmDist();
    if (dist.empty()) throw StoreError(GtmMissing());
    for (const auto& [k, v] : GtmEnvironment(dist, folder))
        ::setenv(k.c_str(), v.c_str(), 1);
    void* lib = ::dlopen((dist + "/libgtmshr.so").c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!lib) throw StoreError(std::string("cannot load GT.M: ") + ::dlerror());
    using InitFn = int (*)();
    const auto init = reinterpret_cast<InitFn>(::dlsym(lib, "gtm_init"));
    ci_ = reinterpret_cast<CiFn>(::dlsym(lib, "gtm_ci"));
    zstatus_ = reinterpret_cast<ZstatusFn>(::dlsym(lib, "gtm_zstatus"));
    if (!init || !ci_ || !zstatus_) throw StoreError("libgtmshr.so lacks the call-in interface");
    // GT.M takes SIGINT and SIGTERM for itself; the server stops on them its own way (finishing
    // the call in progress), so their handling is given back as it was.
    struct sigaction oldInt {
    }, oldTerm{};
    ::sigaction(SIGINT, nullptr, &oldInt);
    ::sigaction(SIGTERM, nullptr, &oldTerm);
    const int status = init();
    ::sigaction(SIGINT, &oldInt, nullptr);
    ::sigaction(SIGTERM, &oldTerm, nullptr);
    if (status != 0) {
        char why[1024] = {};
        zstatus_(why, sizeof why);
        throw StoreError(std::string("gtm_init failed: ") + why);
    }
    g_initialised = true;
    gld_ = folder.Gld();
    out_[0].resize(kOutBytes);
    out_[1].resize(kOutBytes);
}

GtmString GtmRuntime::Out(int which) {
    auto& b = out_[which];
    b[0] = '\0';
    return GtmString{static_cast<long>(b.size()), b.data()};
}

void GtmRuntime::Switch(const std::string& gld) {
    if (gld == gld_) return;
    Check("vgbldir", ci_("vgbldir", gld.c_str()));
    gld_ = gld;
}

void GtmRuntime::Check(const char* name, int status) {
    if (status == 0) return;
    char why[2048] = {};
    zstatus_(why, sizeof why);
    throw StoreError(std::string("GT.M ") + name + ": " + why);
}

}  // namespace vorn::devserver
