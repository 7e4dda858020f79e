// What a screen reads: the data globals of the session's store, never the server's own.
#pragma once

#include <optional>
#include <string>

#include "devserver/m/m_screen.h"
#include "devserver/storage/global_store.h"

namespace vorn::devserver {

class StoreGlobalReader final : public MGlobalReader {
  public:
    explicit StoreGlobalReader(GlobalStore& store) : store_(store) {}
    std::optional<std::string> Get(const GlobalRef& ref) override {
        if (Hidden(ref)) return std::nullopt;
        return store_.Get(ref);
    }
    int Data(const GlobalRef& ref) override { return Hidden(ref) ? 0 : store_.Data(ref); }
    // The server's own globals on an engine that keeps everything in globals (the users).
    static bool Hidden(const GlobalRef& ref) { return ref.name.rfind("%ZVRN", 0) == 0; }

  private:
    GlobalStore& store_;
};

}  // namespace vorn::devserver
