// Reading the calls that the test peer recorded: the procedure's name and its parameters.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/scramble.h"

namespace vorn::test {

// The procedure name inside a recorded call message.
inline std::string NameOf(const std::string& call) {
    const auto start = call.find("XWB;;;;") + 7 + 5 + 1;
    return call.substr(start, call.find('^', start) - start);
}

inline std::vector<std::string> Names(const std::vector<std::string>& calls) {
    std::vector<std::string> names;
    for (const auto& c : calls)
        names.push_back(NameOf(c));
    return names;
}

// The value of the first (literal) parameter of a recorded call.
inline std::string FirstLiteral(const std::string& call) {
    const auto caret = call.find('^', call.find("XWB;;;;") + 7);
    const std::string params = call.substr(caret + 1 + 5);
    const int length = std::stoi(params.substr(0, 3));
    EXPECT_EQ(params[3], '0') << "not a literal";
    return params.substr(4, length - 1);
}

// Codes and context names travel scrambled as the first literal.
inline std::string UnscrambledLiteral(const std::string& call) {
    return Unscramble(FirstLiteral(call));
}

// The three codes of an "XUS CVC" call, unscrambled; a scrambled code never holds a "^".
inline std::vector<std::string> ChangedCodes(const std::string& call) {
    std::vector<std::string> codes;
    std::istringstream value(FirstLiteral(call));
    for (std::string code; std::getline(value, code, '^');)
        codes.push_back(Unscramble(code));
    return codes;
}

// The list entries of a call, after the marker of its first list parameter.
inline std::string ListEntries(const std::string& call) {
    const auto at = call.find("0032.x");
    return at == std::string::npos ? std::string() : call.substr(at + 6);
}

}  // namespace vorn::test
