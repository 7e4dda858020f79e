// The reader of the node names GT.M gives back, fed with anything: a name it accepts has
// subscripts that make a store key and come back from it unchanged, and the key read straight
// from the name is that key; nothing crashes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "devserver/m/collation.h"
#include "devserver/storage/gtm_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vorn::devserver;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<GlobalRef> ref = ParseGtmName(text);
    const std::optional<std::string> key = GtmNameKey(text);
    if (ref.has_value() != key.has_value()) std::abort();
    if (!ref) return 0;
    if (ref->name.empty() || *key != EncodeKey(ref->subscripts) ||
        DecodeKey(*key) != ref->subscripts)
        std::abort();
    return 0;
}
