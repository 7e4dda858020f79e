// "DDR VALIDATOR" through the real broker: the reply's exact lines. Today is 6 December 2026. Then
// the validator's rules on a small dictionary of its own, for the cases the demo files do not have.
#include <gtest/gtest.h>

#include <sstream>

#include "devserver/procedures/validator.h"
#include "tests/devserver/broker_fixture.h"

namespace vorn::devserver::test {
namespace {

struct Case {
    const char *name, *file, *field, *value;
    bool valid;
    const char* internal;  // valid: the internal value; not valid: the reason
    const char* external = "";
    const char* iens = "+1,";  // a new record unless a stored one is named
};

class Validation : public DemoServerTest, public ::testing::WithParamInterface<Case> {};

TEST_P(Validation, AnswersInTheShapeTheClientReads) {
    const Case& c = GetParam();
    EXPECT_EQ(Call("DDR VALIDATOR",
                   {{"FILE", c.file}, {"IENS", c.iens}, {"FIELD", c.field}, {"VALUE", c.value}}),
              (c.valid ? Lines{"[Errors]", "[Data]", c.internal, c.external}
                       : Lines{"[Errors]", c.internal, "[Data]", "^"}));
}

const std::string kLongLine(246, 'x');
const char* const kLength = "LENGTH OF RESULT FIELD takes a whole number from 1 to 250.";

// clang-format off
INSTANTIATE_TEST_SUITE_P(EveryType, Validation, ::testing::ValuesIn(std::vector<Case>{
    {"TextWithinItsLength", "80001", ".01", "HB2", true, "HB2", "HB2"},
    {"TextTooLong", "80001", ".01", "ABCDEFGHIJK", false,
     "ABBREVIATION takes 1 to 10 characters; \"ABCDEFGHIJK\" has 11."},
    {"TextTooShort", "80001", "2", "AB", false, "FULL NAME takes 3 to 60 characters; \"AB\" has 2."},
    {"TextWithCaret", "80001", "2", "Hemo^globin", false, "FULL NAME may not hold \"^\"."},
    {"TextWithTab", "80001", "2", "Hemo\tglobin", false, "FULL NAME may not hold control characters."},
    {"WholeNumber", "80001", "6", "12", true, "12", "12"}, {"NumberBelowRange", "80001", "6", "0", false, kLength},
    {"NumberMadeCanonic", "80001", "6", "012.0", true, "12", "12"},
    {"NumberWithDecimals", "80001", "6", "12.5", false, kLength},
    {"NumberAboveRange", "80001", "6", "251", false, kLength},
    {"NoNumber", "80001", "6", "1e3", false,
     "\"1e3\" is not a number. LENGTH OF RESULT FIELD takes a whole number from 1 to 250."},
    // dates: every typed form and the century are the dates' own test; here a relative one, from the server's today
    {"DateTodayPlus", "80001", "4", "T+26", true, "3270101", "JAN 1, 2027"},
    {"NoSuchDay", "80001", "4", "2/30/2026", false,
     "\"2/30/2026\" is not a date. DATE OF INTRODUCTION takes dates such as 12/6/2026, 6.12.2026, 2026-12-06, "
     "DEC 6 2026, 6 DEC 2026, T, T+1 or T-1."},
    {"CodeByCode", "80001", "3", "0", true, "0", "NO"}, {"CodeByText", "80001", "3", "YES", true, "1", "YES"},
    {"CodeByTextPrefixIgnoringCase", "80001", "5", "w", true, "2", "WARD"},
    {"CodeByCodeIgnoringCase", "3.5", "2", "hfs", true, "HFS", "HOST FILE SERVER"},
    {"NoSuchCode", "80001", "3", "MAYBE", false, "\"MAYBE\" is not one of the codes of CURRENTLY IN USE: 1 YES, 0 NO."},
    {"PointerByWholeName", "80001", "7", "virtanen,aino", true, "1", "VIRTANEN,AINO"},
    {"PointerByRecordNumber", "80001", "7", "`3", true, "3", "MAKINEN,HELMI"},
    {"PointerAmbiguous", "80001", "7", "MAK", false,
     "\"MAK\" fits 2 records of DEMO PERSON: `3 MAKINEN,HELMI; `5 MAKELA,KAARINA. Type more of it, or \"`\" and the "
     "record number."},
    {"PointerToNothing", "80001", "7", "NOBODY", false, "No record of DEMO PERSON matches \"NOBODY\"."},
    {"PointerToAMissingNumber", "80001", "7", "`999", false, "No record of DEMO PERSON matches \"`999\"."},
    {"PointerThroughAPointedPointer", "80006", ".01", "MEDICAL WARD 1", true, "1", "MEDICAL WARD 1"},
    {"VariablePointerByWholeNameIgnoringCase", "80005", ".01", "external sample 003", true, "3;ZDEMO(80004,",
     "EXTERNAL SAMPLE 003"},
    {"VariablePointerAmbiguous", "80005", ".01", "NIEMI,VEIKKO", false,
     "\"NIEMI,VEIKKO\" fits 2 records that PATIENT/SPECIMEN may point to: DEMO PATIENT.`16 NIEMI,VEIKKO; DEMO "
     "PATIENT.`46 NIEMI,VEIKKO. Type more of it, or the file's name, \".\", \"`\" and the record number."},
    {"VariablePointerByFileAndNumber", "80005", ".01", "DEMO PATIENT.`46", true, "46;ZDEMO(80003,", "NIEMI,VEIKKO"},
    {"VariablePointerNarrowedByFile", "80005", ".01", "DEMO SPECIMEN.`2", true, "2;ZDEMO(80004,",
     "EXTERNAL SAMPLE 002"},
    {"VariablePointerInInternalForm", "80005", ".01", "16;ZDEMO(80003,", true, "16;ZDEMO(80003,", "NIEMI,VEIKKO"},
    {"VariablePointerToNothing", "80005", ".01", "NOBODY", false,
     "No record that PATIENT/SPECIMEN may point to matches \"NOBODY\"."},
    {"AtOnAnOptionalField", "80001", "3", "@", true, "@"}, {"EmptyValue", "80001", "2", "", true, ""},
    {"AtOnARequiredField", "80001", "2", "@", false, "FULL NAME is required and cannot be deleted."},
    {"AtOnTheNumberOfANewRecord", "80001", ".01", "@", false, "A record that is not on file cannot be deleted."},
    {"TextLine", "80001", "100", "One line of text", true, "One line of text", "One line of text"},
    {"TextLineTooLong", "80001", "100", kLongLine.c_str(), false,
     "A line of DESCRIPTION may hold at most 245 characters; this one has 246."},
    {"ComputedField", "80001", "901", "3", false, "YEARS OF USAGE is computed and cannot be changed."},
    {"Multiple", "80001", "10", "X", false, "SUBRESULT is a multiple: its entries are records of sub-file 80001.02."},
    {"UnknownFile", "4711", ".01", "X", false, "File 4711 does not exist."},
    {"UnknownField", "80001", "55", "X", false, "Field 55 does not exist in file 80001 (DEMO LAB TEST)."},
    // stored records: "@" on the number deletes one, and the address must fit the file
    {"AtOnTheNumberOfAStoredRecord", "80001", ".01", "@", true, "@", "", "1,"},
    {"AtOnTheNumberOfAMissingRecord", "80001", ".01", "@", false,
     "A record that is not on file cannot be deleted.", "", "999,"},
    {"AnAddressThatDoesNotFitItsSubFile", "80001.03", ".01", "X", false,
     "The record address \"1,\" does not fit sub-file 80001.03 (RESULT CODE): it takes 2 numbers.", "", "1,"}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });
// clang-format on

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
    ValueCheck Typed(const char* field, std::string_view text) {
        return validator.Typed(file, *file.Field(field), text, false);
    }
    ValueCheck Stored(const char* field, std::string_view text) {
        return validator.Stored(file, *file.Field(field), text);
    }
    // What a check says: the internal value, or "refused: " and the reason.
    static std::string Said(const ValueCheck& c) {
        return c.valid ? c.internal : "refused: " + c.reason;
    }

    test::TempFolder folder;
    std::istringstream text{kDictionary};
    std::shared_ptr<const Dictionary> dict = Dictionary::Parse(text, "test.vdd");
    GlobalStore store{folder.Path("rules.db")};
    const FileDef& file = *dict->File("90000");
    Validator validator{store, *dict, {2026, 12, 6}};
};

TEST_F(Rules, TypedAndStoredValuesKeepToTheirFieldsCodesNumbersAndLength) {
    // A code wins over texts that begin with it; RUST alone begins with RU.
    for (const auto& [text, code] : std::vector<std::pair<const char*, const char*>>{
             {"R", "R"}, {"ros", "2"}, {"RU", "R"}, {"RE", "1"}})
        EXPECT_EQ(Said(Typed("2", text)), code) << text;
    EXPECT_EQ(Typed("2", "R").external, "RUST");
    EXPECT_EQ(Said(Typed("4", "dark")),
              "refused: \"dark\" fits more than one code of SHADE: DARK RED, DARK BLUE.");
    EXPECT_TRUE(Stored("2", "R").valid);
    EXPECT_FALSE(Stored("2", "r").valid);
    EXPECT_EQ(Said(Stored("2", "RED")),
              "refused: \"RED\" is not a code of COLOUR (1 RED, 2 ROSE, R RUST).");
    // Numbers keep their sign, range and decimals; text without a length takes one line.
    for (const auto& [text, number] : std::vector<std::pair<const char*, const char*>>{
             {"-5", "-5"}, {"+2.50", "2.5"}, {" .25 ", ".25"}, {"-0.5", "-.5"}})
        EXPECT_EQ(Said(Typed("3", text)), number) << text;
    for (const char* bad : {"-5.01", "5.001", "1.255", "6", "--1", "1.2.3", "."}) {
        const std::string said = Said(Typed("3", bad));
        EXPECT_NE(said.find("refused: "), std::string::npos) << bad;
        EXPECT_NE(said.find("OFFSET takes a number from -5 to 5 with at most 2 decimals."),
                  std::string::npos)
            << bad << ": " << said;
    }
    EXPECT_TRUE(Typed(".01", std::string(245, 'a')).valid);
    EXPECT_EQ(
        Said(Typed(".01", std::string(246, 'a'))),
        "refused: NAME takes 1 to 245 characters; \"" + std::string(246, 'a') + "\" has 246.");
    EXPECT_EQ(Said(Stored(".01", "a\nb")), "refused: NAME may not hold control characters.");
}

}  // namespace
}  // namespace vorn::devserver::test
