// The validator's rules on a small dictionary of its own, for the cases the demo files do not
// have: set codes whose texts begin alike, signed numbers with decimals, text without a length.
#include <gtest/gtest.h>

#include <sstream>

#include "devserver/dictionary.h"
#include "devserver/global_store.h"
#include "devserver/validator.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::devserver {
namespace {

constexpr const char* kDictionary = R"([file 90000]
name = TEST FILE
global = ^ZTEST(90000,

[field 90000 .01]
label = NAME
type = F
required = yes
storage = 0;1
help = Any name.

[field 90000 2]
label = COLOUR
type = S
codes = 1:RED;2:ROSE;R:RUST
storage = 0;2
help = A colour.

[field 90000 3]
label = OFFSET
type = N
range = -5-5
decimals = 2
storage = 0;3
help = A number from -5 to 5.
)";

class Rules : public ::testing::Test {
  protected:
    Rules() {
        std::istringstream in(kDictionary);
        dict = Dictionary::Parse(in, "test.vdd");
        store = std::make_unique<GlobalStore>(folder.Path("rules.db"));
    }
    ValueCheck Typed(const char* field, const char* text) {
        const FileDef& file = *dict->File("90000");
        return Validator(*store, *dict, {2026, 12, 6}).Typed(file, *file.Field(field), text, false);
    }
    ValueCheck Stored(const char* field, const char* text) {
        const FileDef& file = *dict->File("90000");
        return Validator(*store, *dict, {2026, 12, 6}).Stored(file, *file.Field(field), text);
    }

    test::TempFolder folder;
    std::shared_ptr<const Dictionary> dict;
    std::unique_ptr<GlobalStore> store;
};

TEST_F(Rules, ACodeWinsOverTextsThatBeginWithIt) {
    const ValueCheck r = Typed("2", "R");
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.internal, "R");
    EXPECT_EQ(r.external, "RUST");
    EXPECT_EQ(Typed("2", "ros").internal, "2");
}

TEST_F(Rules, TextsThatBeginAlikeNeedMoreOfThem) {
    const ValueCheck r = Typed("2", "RU");
    EXPECT_TRUE(r.valid) << "RUST alone begins with RU";
    EXPECT_EQ(r.internal, "R");
    EXPECT_EQ(Typed("2", "RE").internal, "1");
    std::istringstream in(std::string(kDictionary) +
                          "\n[field 90000 4]\nlabel = SHADE\ntype = "
                          "S\ncodes = 1:DARK RED;2:DARK BLUE\n"
                          "storage = 0;4\nhelp = A shade.\n");
    auto wider = Dictionary::Parse(in, "test.vdd");
    const FileDef& file = *wider->File("90000");
    const ValueCheck dark =
        Validator(*store, *wider, {2026, 12, 6}).Typed(file, *file.Field("4"), "dark", false);
    EXPECT_FALSE(dark.valid);
    EXPECT_EQ(dark.reason, "\"dark\" fits more than one code of SHADE: DARK RED, DARK BLUE.");
}

TEST_F(Rules, StoredCodesMustBeCodesExactly) {
    EXPECT_TRUE(Stored("2", "R").valid);
    EXPECT_FALSE(Stored("2", "r").valid);
    EXPECT_EQ(Stored("2", "RED").reason,
              "\"RED\" is not a code of COLOUR (1 RED, 2 ROSE, R RUST).");
}

TEST_F(Rules, NumbersKeepTheirSignRangeAndDecimals) {
    EXPECT_EQ(Typed("3", "-5").internal, "-5");
    EXPECT_EQ(Typed("3", "+2.50").internal, "2.5");
    EXPECT_EQ(Typed("3", " .25 ").internal, ".25");
    EXPECT_EQ(Typed("3", "-0.5").internal, "-.5");
    for (const char* bad : {"-5.01", "5.001", "1.255", "6", "--1", "1.2.3", "."}) {
        const ValueCheck c = Typed("3", bad);
        EXPECT_FALSE(c.valid) << bad;
        EXPECT_NE(c.reason.find("OFFSET takes a number from -5 to 5 with at most 2 decimals."),
                  std::string::npos)
            << bad << ": " << c.reason;
    }
}

TEST_F(Rules, TextWithoutALengthTakesOneLine) {
    EXPECT_TRUE(Typed(".01", std::string(245, 'a').c_str()).valid);
    EXPECT_EQ(Typed(".01", std::string(246, 'a').c_str()).reason,
              "NAME takes 1 to 245 characters; \"" + std::string(246, 'a') + "\" has 246.");
    EXPECT_EQ(Stored(".01", "a\nb").reason, "NAME may not hold control characters.");
}

}  // namespace
}  // namespace vorn::devserver
