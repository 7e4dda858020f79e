// The reader of the node names GT.M gives back, fed with anything: a name it accepts has
// subscripts that make a store key and come back from it unchanged; nothing crashes.
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
    if (!ref) return 0;
    if (ref->name.empty() || DecodeKey(EncodeKey(ref->subscripts)) != ref->subscripts) std::abort();
    return 0;
}
