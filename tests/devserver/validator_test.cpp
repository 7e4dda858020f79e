// "DDR VALIDATOR" through the real broker: the reply's exact lines. Today is 6 December 2026. Then
// the validator's rules on a small dictionary of its own, for the cases the demo files do not have.
#include <gtest/gtest.h>

#include <sstream>

#include "devserver/procedures/validator.h"
#include "tests/devserver/broker_fixture.h"

namespace vorn::devserver::test {
namespace {

struct Case {
    const char* name;
    const char* file;
    const char* field;
    const char* value;
    bool valid;
    const char* internal;  // valid: the internal value; not valid: the reason
    const char* external = "";
};

class Validation : public DemoServerTest, public ::testing::WithParamInterface<Case> {};

TEST_P(Validation, AnswersInTheShapeTheClientReads) {
    const Case& c = GetParam();
    const Lines lines =
        Call("DDR VALIDATOR",
             {{"FILE", c.file}, {"IENS", "+1,"}, {"FIELD", c.field}, {"VALUE", c.value}});
    if (c.valid)
        EXPECT_EQ(lines, Lines({"[Errors]", "[Data]", c.internal, c.external}));
    else
        EXPECT_EQ(lines, Lines({"[Errors]", c.internal, "[Data]", "^"}));
}

const std::string kLongLine(246, 'x');
const char* const kLength = "LENGTH OF RESULT FIELD takes a whole number from 1 to 250.";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    EveryType, Validation,
    ::testing::Values(
        // free text
        Case{"TextWithinItsLength", "80001", ".01", "HB2", true, "HB2", "HB2"},
        Case{"TextTooLong", "80001", ".01", "ABCDEFGHIJK", false,
             "ABBREVIATION takes 1 to 10 characters; \"ABCDEFGHIJK\" has 11."},
        Case{"TextTooShort", "80001", "2", "AB", false, "FULL NAME takes 3 to 60 characters; \"AB\" has 2."},
        Case{"TextWithCaret", "80001", "2", "Hemo^globin", false, "FULL NAME may not hold \"^\"."},
        Case{"TextWithTab", "80001", "2", "Hemo\tglobin", false, "FULL NAME may not hold control characters."},
        // numbers
        Case{"WholeNumber", "80001", "6", "12", true, "12", "12"},
        Case{"NumberMadeCanonic", "80001", "6", "012.0", true, "12", "12"},
        Case{"NumberWithDecimals", "80001", "6", "12.5", false, kLength},
        Case{"NumberBelowRange", "80001", "6", "0", false, kLength},
        Case{"NumberAboveRange", "80001", "6", "251", false, kLength},
        Case{"NoNumber", "80001", "6", "1e3", false,
             "\"1e3\" is not a number. LENGTH OF RESULT FIELD takes a whole number from 1 to 250."},
        // dates: every typed form and the century are the dates' own test; here a relative one,
        // from the server's today
        Case{"DateTodayPlus", "80001", "4", "T+26", true, "3270101", "JAN 1, 2027"},
        Case{"NoSuchDay", "80001", "4", "2/30/2026", false,
             "\"2/30/2026\" is not a date. DATE OF INTRODUCTION takes dates such as 12/6/2026, 6.12.2026, "
             "2026-12-06, DEC 6 2026, 6 DEC 2026, T, T+1 or T-1."},
        // set codes
        Case{"CodeByCode", "80001", "3", "0", true, "0", "NO"},
        Case{"CodeByText", "80001", "3", "YES", true, "1", "YES"},
        Case{"CodeByTextPrefixIgnoringCase", "80001", "5", "w", true, "2", "WARD"},
        Case{"CodeByCodeIgnoringCase", "3.5", "2", "hfs", true, "HFS", "HOST FILE SERVER"},
        Case{"NoSuchCode", "80001", "3", "MAYBE", false,
             "\"MAYBE\" is not one of the codes of CURRENTLY IN USE: 1 YES, 0 NO."},
        // pointers
        Case{"PointerByWholeName", "80001", "7", "virtanen,aino", true, "1", "VIRTANEN,AINO"},
        Case{"PointerByRecordNumber", "80001", "7", "`3", true, "3", "MAKINEN,HELMI"},
        Case{"PointerAmbiguous", "80001", "7", "MAK", false,
             "\"MAK\" fits 2 records of DEMO PERSON: `3 MAKINEN,HELMI; `5 MAKELA,KAARINA. Type more of it, "
             "or \"`\" and the record number."},
        Case{"PointerToNothing", "80001", "7", "NOBODY", false, "No record of DEMO PERSON matches \"NOBODY\"."},
        Case{"PointerToAMissingNumber", "80001", "7", "`999", false,
             "No record of DEMO PERSON matches \"`999\"."},
        Case{"PointerThroughAPointedPointer", "80006", ".01", "MEDICAL WARD 1", true, "1", "MEDICAL WARD 1"},
        // variable pointers
        Case{"VariablePointerByWholeNameIgnoringCase", "80005", ".01", "external sample 003", true,
             "3;ZDEMO(80004,", "EXTERNAL SAMPLE 003"},
        Case{"VariablePointerAmbiguous", "80005", ".01", "NIEMI,VEIKKO", false,
             "\"NIEMI,VEIKKO\" fits 2 records that PATIENT/SPECIMEN may point to: DEMO PATIENT.`16 "
             "NIEMI,VEIKKO; DEMO PATIENT.`46 NIEMI,VEIKKO. Type more of it, or the file's name, \".\", \"`\" "
             "and the record number."},
        Case{"VariablePointerByFileAndNumber", "80005", ".01", "DEMO PATIENT.`46", true, "46;ZDEMO(80003,",
             "NIEMI,VEIKKO"},
        Case{"VariablePointerNarrowedByFile", "80005", ".01", "DEMO SPECIMEN.`2", true, "2;ZDEMO(80004,",
             "EXTERNAL SAMPLE 002"},
        Case{"VariablePointerInInternalForm", "80005", ".01", "16;ZDEMO(80003,", true, "16;ZDEMO(80003,",
             "NIEMI,VEIKKO"},
        Case{"VariablePointerToNothing", "80005", ".01", "NOBODY", false,
             "No record that PATIENT/SPECIMEN may point to matches \"NOBODY\"."},
        // "@" and empty values
        Case{"AtOnAnOptionalField", "80001", "3", "@", true, "@"},
        Case{"AtOnARequiredField", "80001", "2", "@", false, "FULL NAME is required and cannot be deleted."},
        Case{"AtOnTheNumberOfANewRecord", "80001", ".01", "@", false,
             "A record that is not on file cannot be deleted."},
        Case{"EmptyValue", "80001", "2", "", true, ""},
        // word processing, computed fields, multiples
        Case{"TextLine", "80001", "100", "One line of text", true, "One line of text", "One line of text"},
        Case{"TextLineTooLong", "80001", "100", kLongLine.c_str(), false,
             "A line of DESCRIPTION may hold at most 245 characters; this one has 246."},
        Case{"ComputedField", "80001", "901", "3", false, "YEARS OF USAGE is computed and cannot be changed."},
        Case{"Multiple", "80001", "10", "X", false,
             "SUBRESULT is a multiple: its entries are records of sub-file 80001.02."},
        // what does not exist
        Case{"UnknownFile", "4711", ".01", "X", false, "File 4711 does not exist."},
        Case{"UnknownField", "80001", "55", "X", false,
             "Field 55 does not exist in file 80001 (DEMO LAB TEST)."}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });
// clang-format on

class ValidationOfStoredRecords : public DemoServerTest {
  protected:
    Lines Ask(const std::string& file, const std::string& iens, const std::string& value) {
        return Call("DDR VALIDATOR",
                    {{"FILE", file}, {"IENS", iens}, {"FIELD", ".01"}, {"VALUE", value}});
    }
};

TEST_F(ValidationOfStoredRecords, AtOnTheNumberOfAStoredRecordDeletesItAndTheAddressMustFit) {
    EXPECT_EQ(Ask("80001", "1,", "@"), Lines({"[Errors]", "[Data]", "@", ""}));
    EXPECT_EQ(
        Ask("80001", "999,", "@"),
        Lines({"[Errors]", "A record that is not on file cannot be deleted.", "[Data]", "^"}));
    EXPECT_EQ(Ask("80001.03", "1,", "X"),
              Lines({"[Errors]",
                     "The record address \"1,\" does not fit sub-file 80001.03 (RESULT CODE): it "
                     "takes 2 numbers.",
                     "[Data]", "^"}));
}

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

[field 90000 4]
label = SHADE
type = S
codes = 1:DARK RED;2:DARK BLUE
storage = 0;4
help = A shade.
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
    const ValueCheck dark = Typed("4", "dark");
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
}  // namespace vorn::devserver::test
