// The server's message reader fed with anything: it returns a message or refuses the bytes,
// and never crashes, hangs or reads past what it was given.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "devserver/net/call_parser.h"
#include "devserver/net/reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    vorn::devserver::MemorySource source(bytes);
    try {
        const vorn::devserver::Message m = vorn::devserver::ReadMessage(source);
        std::size_t total = m.call.name.size() + m.handshake.address.size();
        for (const auto& p : m.call.params) {
            total += p.value.size();
            for (const auto& e : p.entries) {
                if (e.subscripts.empty()) __builtin_trap();
                total += e.value.size();
            }
        }
        if (total > size) __builtin_trap();
        // Whatever was read can be answered.
        const std::string frame = vorn::devserver::Reply::Lines({m.call.name}).Frame();
        if (frame.back() != '\x04') __builtin_trap();
    } catch (const vorn::devserver::MalformedMessage&) {
    } catch (const vorn::devserver::SourceEnded&) {
    }
    return 0;
}
