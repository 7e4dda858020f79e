// The screen evaluator fed with anything: the code is refused with a reason, or it runs on a
// few records and says pass or fail or names the M error, within its step bound, and never
// crashes or hangs. The numbers of M are checked on the same bytes: the numeric
// interpretation is always a canonic number and reading it again changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "devserver/m/collation.h"
#include "devserver/m/m_screen.h"
#include "devserver/m/m_screen_number.h"
#include "tests/devserver/memory_globals.h"

namespace {

using namespace vorn::devserver;

test::MemoryGlobals& Globals() {
    static test::MemoryGlobals globals = [] {
        test::MemoryGlobals g;
        g.Set({"%ZIS", {"2", "1", "0"}}, "P-LASER");
        g.Set({"%ZIS", {"2", "2", "0"}}, "C-VT100");
        g.Set({"%ZIS", {"1", "1", "0"}}, "CLIENT WORKSTATION^|TCP|");
        g.Set({"%ZIS", {"1", "1", "TYPE"}}, "VTRM");
        g.Set({"%ZIS", {"1", "2", "0"}}, "LASER PRINTER 1^LPT1");
        g.Set({"%ZIS", {"1", "2", "1"}}, "LABORATORY^^^^");
        g.Set({"%ZIS", {"1", "2", "SUBTYPE"}}, "1");
        g.Set({"%ZIS", {"1", "2", "TYPE"}}, "TRM");
        g.Set({"%ZIS", {"1", "3", "0"}}, "12^/var/x^3");
        g.Set({"%ZIS", {"1", "3", "1"}}, "^^^^1");
        return g;
    }();
    return globals;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view code(reinterpret_cast<const char*>(data), size);
    try {
        const std::string n = NumericInterpretation(code);
        if (!IsCanonicNumber(n) || NumericInterpretation(n) != n) __builtin_trap();
    } catch (const MRuntimeError&) {
    }
    ScreenEnvironment env;
    env.globals = &Globals();
    env.dt = "3261206";
    env.duz = "1";
    try {
        const MScreen screen(code);
        for (const char* ien : {"1", "2", "3"}) {
            try {
                Globals().reads = 0;
                screen.Passes(env, ien, GlobalRef{"%ZIS", {"1", ien}});
                // Every read is a step, so no record can read more than the bound allows.
                if (Globals().reads > kScreenStepLimit) __builtin_trap();
            } catch (const ScreenRunError& e) {
                if (std::string_view(e.what()).empty()) __builtin_trap();
            }
        }
    } catch (const ScreenCodeError& e) {
        if (std::string_view(e.what()).empty()) __builtin_trap();
    }
    return 0;
}
