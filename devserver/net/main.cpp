// vorn-server: the development server (see devserver/README.md and the README's "Development
// server" section).
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <exception>

#include "devserver/net/server.h"

int main(int argc, char** argv) {
    using namespace vorn::devserver;
    const ParsedOptions parsed = ParseOptions(argc, argv);
    if (parsed.help) {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "vorn-server: %s\n\n%s", parsed.error.c_str(), Usage().c_str());
        return 2;
    }

    // The signals are taken by sigwait below, never by a thread in the middle of a call.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    ServerOptions options = parsed.options;
    // The M way on GT.M: a process per session, whose M LOCKs end with it however it ends.
    if (options.engine == StoreEngine::Gtm) options.sessionProcesses = true;
    Server server(options);
    try {
        server.Start();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorn-server: %s\n", e.what());
        return 1;
    }
    std::printf("listening on %s:%d\n", server.Address().c_str(), server.Port());
    std::printf("data %s\n", server.options().dataPath.c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    std::printf("stopped\n");
    return 0;
}
