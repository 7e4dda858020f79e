// Globals in memory for the screen evaluator's tests and fuzz target: M order through the
// store's own key encoding, $DATA from the keys around a node.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "devserver/m/collation.h"
#include "devserver/m/m_screen.h"

namespace vorn::devserver::test {

class MemoryGlobals final : public MGlobalReader {
  public:
    void Set(const GlobalRef& ref, std::string value) { nodes_[Key(ref)] = std::move(value); }
    std::optional<std::string> Get(const GlobalRef& ref) override {
        ++reads;
        const auto it = nodes_.find(Key(ref));
        return it == nodes_.end() ? std::nullopt : std::optional(it->second);
    }
    int Data(const GlobalRef& ref) override {
        ++reads;
        const std::string key = Key(ref);
        const auto below = nodes_.upper_bound(key);  // the first node after this one
        return (nodes_.contains(key) ? 1 : 0) +
               (below != nodes_.end() && below->first.starts_with(key) ? 10 : 0);
    }
    int reads = 0;

  private:
    static std::string Key(const GlobalRef& ref) {
        return ref.name + '\0' + EncodeKey(ref.subscripts);
    }
    std::map<std::string, std::string> nodes_;
};

// The globals the screen tests read: a record ^TEST(7) and a second global ^OTHER(5).
inline void SetScreenTestGlobals(MemoryGlobals& globals) {
    globals.Set({"TEST", {"7", "0"}}, "LASER^12^x");
    globals.Set({"TEST", {"7", "1"}}, "ROOM 3^^^^1");
    globals.Set({"TEST", {"7", "TYPE"}}, "TRM");
    globals.Set({"OTHER", {"5", "7"}}, "seven");
    globals.Set({"OTHER", {"5", "seven"}}, "by name");
    globals.Set({"OTHER", {"5"}}, "five");
}

}  // namespace vorn::devserver::test
