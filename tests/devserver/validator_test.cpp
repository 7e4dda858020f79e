// "DDR VALIDATOR" through the real broker, read by both of the client's readers: the toolset's
// `ValidateValue` (valid exactly when the second line is the data marker) and the data
// source's field validation (valid unless the first data line is "^"). Today is 6 December 2026.
#include <gtest/gtest.h>

#include "broker/section_reader.h"
#include "source/server_queries.h"
#include "tests/devserver/record_fixture.h"

namespace vorn::devserver::test {
namespace {

// How the data source reads a validation answer: the data section's lines are the answer, the
// value is valid unless the first of them is "^", and then lines 1 and 2 are the internal and
// the external value.
struct FieldValidation {
    bool valid = false;
    QString internal;
    QString external;
    QStringList errors;
};

FieldValidation ReadFieldValidation(const QStringList& lines) {
    static const SectionMarkers markers = {{kDataMarker, vorn::Section::Data},
                                           {kBeginDataMarker, vorn::Section::Data},
                                           {kErrorsMarker, vorn::Section::Errors},
                                           {kBeginErrorsMarker, vorn::Section::Errors},
                                           {kEndDataMarker, vorn::Section::None}};
    const SectionedAnswer answer = ReadSections(lines, markers);
    const QStringList& data = answer.Lines(vorn::Section::Data);
    FieldValidation out;
    out.valid = data.isEmpty() || data[0] != "^";
    if (out.valid && data.size() >= 2) {
        out.internal = data[0];
        out.external = data[1];
    }
    out.errors = answer.Lines(vorn::Section::Errors);
    return out;
}

struct Case {
    const char* name;
    const char* file;
    const char* field;
    const char* value;
    bool valid;
    const char* internal;  // valid: the internal value; not valid: the reason
    const char* external;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class Validation : public RecordServer, public ::testing::WithParamInterface<Case> {
  protected:
    QStringList Ask(const QString& iens) {
        const Case& c = GetParam();
        return CallList(Demo(), "DDR VALIDATOR",
                        {{"\"FILE\"", c.file},
                         {"\"IENS\"", iens},
                         {"\"FIELD\"", c.field},
                         {"\"VALUE\"", QString::fromUtf8(c.value)}});
    }
};

TEST_P(Validation, AnswersInTheShapeBothClientReadersUnderstand) {
    const Case& c = GetParam();
    const QStringList lines = Ask("+1,");
    if (c.valid)
        EXPECT_EQ(lines, Lines({"[Errors]", "[Data]", c.internal, c.external}));
    else
        EXPECT_EQ(lines, Lines({"[Errors]", c.internal, "[Data]", "^"}));

    const FieldValidation read = ReadFieldValidation(lines);
    EXPECT_EQ(read.valid, c.valid);
    EXPECT_EQ(read.internal, c.valid ? c.internal : "");
    EXPECT_EQ(read.external, c.valid ? c.external : "");
    EXPECT_EQ(read.errors, c.valid ? QStringList() : Lines({c.internal}));

    TRPCBroker& b = Demo();
    const ValidatedValue v = ValidateValue(c.file, c.field, QString::fromUtf8(c.value), &b);
    EXPECT_EQ(v.internal, c.valid ? c.internal : "");
    EXPECT_EQ(v.external, c.valid ? c.external : "");
    EXPECT_EQ(b.Results.value(1), c.valid ? "[Data]" : c.internal);
}

const std::string kLongLine(246, 'x');

INSTANTIATE_TEST_SUITE_P(
    EveryType, Validation,
    ::testing::Values(
        // free text
        Case{"TextWithinItsLength", "80001", ".01", "HB2", true, "HB2", "HB2"},
        Case{"TextTooLong", "80001", ".01", "ABCDEFGHIJK", false,
             "ABBREVIATION takes 1 to 10 characters; \"ABCDEFGHIJK\" has 11.", ""},
        Case{"TextTooShort", "80001", "2", "AB", false,
             "FULL NAME takes 3 to 60 characters; \"AB\" has 2.", ""},
        Case{"TextWithCaret", "80001", "2", "Hemo^globin", false, "FULL NAME may not hold \"^\".",
             ""},
        Case{"TextWithTab", "80001", "2", "Hemo\tglobin", false,
             "FULL NAME may not hold control characters.", ""},
        // numbers
        Case{"WholeNumber", "80001", "6", "12", true, "12", "12"},
        Case{"NumberMadeCanonic", "80001", "6", "012.0", true, "12", "12"},
        Case{"NumberWithDecimals", "80001", "6", "12.5", false,
             "LENGTH OF RESULT FIELD takes a whole number from 1 to 250.", ""},
        Case{"NumberBelowRange", "80001", "6", "0", false,
             "LENGTH OF RESULT FIELD takes a whole number from 1 to 250.", ""},
        Case{"NumberAboveRange", "80001", "6", "251", false,
             "LENGTH OF RESULT FIELD takes a whole number from 1 to 250.", ""},
        Case{"NoNumber", "80001", "6", "1e3", false,
             "\"1e3\" is not a number. LENGTH OF RESULT FIELD takes a whole number from 1 to "
             "250.",
             ""},
        // dates: every form gives the one internal value
        Case{"DateMonthFirst", "80001", "4", "12/6/2026", true, "3261206", "DEC 6, 2026"},
        Case{"DateDayFirst", "80001", "4", "6.12.2026", true, "3261206", "DEC 6, 2026"},
        Case{"DateIso", "80001", "4", "2026-12-06", true, "3261206", "DEC 6, 2026"},
        Case{"DateMonthName", "80001", "4", "DEC 6 2026", true, "3261206", "DEC 6, 2026"},
        Case{"DateMonthNameWithComma", "80001", "4", "Dec 6, 2026", true, "3261206", "DEC 6, 2026"},
        Case{"DateDayMonthName", "80001", "4", "6 DEC 2026", true, "3261206", "DEC 6, 2026"},
        Case{"DateToday", "80001", "4", "T", true, "3261206", "DEC 6, 2026"},
        Case{"DateNow", "80001", "4", "N", true, "3261206", "DEC 6, 2026"},
        Case{"DateTodayPlus", "80001", "4", "T+26", true, "3270101", "JAN 1, 2027"},
        Case{"DateTodayMinus", "80001", "4", "t-6", true, "3261130", "NOV 30, 2026"},
        Case{"TwoDigitYearNotInTheFuture", "80001", "4", "12/6/26", true, "3261206", "DEC 6, 2026"},
        Case{"TwoDigitYearInTheFuture", "80001", "4", "7.12.26", true, "2261207", "DEC 7, 1926"},
        Case{"NoSuchDay", "80001", "4", "2/30/2026", false,
             "\"2/30/2026\" is not a date. DATE OF INTRODUCTION takes dates such as 12/6/2026, "
             "6.12.2026, 2026-12-06, DEC 6 2026, 6 DEC 2026, T, T+1 or T-1.",
             ""},
        // set codes
        Case{"CodeByCode", "80001", "3", "0", true, "0", "NO"},
        Case{"CodeByText", "80001", "3", "YES", true, "1", "YES"},
        Case{"CodeByTextPrefixIgnoringCase", "80001", "5", "w", true, "2", "WARD"},
        Case{"CodeByCodeIgnoringCase", "3.5", "2", "hfs", true, "HFS", "HOST FILE SERVER"},
        Case{"CodeByTextPrefix", "3.5", "2", "VIRT", true, "VTRM", "VIRTUAL TERMINAL"},
        Case{"NoSuchCode", "80001", "3", "MAYBE", false,
             "\"MAYBE\" is not one of the codes of CURRENTLY IN USE: 1 YES, 0 NO.", ""},
        // pointers
        Case{"PointerByWholeName", "80001", "7", "virtanen,aino", true, "1", "VIRTANEN,AINO"},
        Case{"PointerByUniquePrefix", "80001", "7", "VIRT", true, "1", "VIRTANEN,AINO"},
        Case{"PointerByRecordNumber", "80001", "7", "`3", true, "3", "MAKINEN,HELMI"},
        Case{"PointerAmbiguous", "80001", "7", "MAK", false,
             "\"MAK\" fits 2 records of DEMO PERSON: `3 MAKINEN,HELMI; `5 MAKELA,KAARINA. Type "
             "more of it, or \"`\" and the record number.",
             ""},
        Case{"PointerToNothing", "80001", "7", "NOBODY", false,
             "No record of DEMO PERSON matches \"NOBODY\".", ""},
        Case{"PointerToAMissingNumber", "80001", "7", "`999", false,
             "No record of DEMO PERSON matches \"`999\".", ""},
        Case{"PointerThroughAPointedPointer", "80006", ".01", "MEDICAL WARD 1", true, "1",
             "MEDICAL WARD 1"},
        // variable pointers
        Case{"VariablePointerByWholeNameIgnoringCase", "80005", ".01", "external sample 003", true,
             "3;ZDEMO(80004,", "EXTERNAL SAMPLE 003"},
        Case{"VariablePointerAmbiguous", "80005", ".01", "NIEMI,VEIKKO", false,
             "\"NIEMI,VEIKKO\" fits 2 records that PATIENT/SPECIMEN may point to: DEMO "
             "PATIENT.`16 NIEMI,VEIKKO; DEMO PATIENT.`46 NIEMI,VEIKKO. Type more of it, or the "
             "file's name, \".\", \"`\" and the record number.",
             ""},
        Case{"VariablePointerByFileAndNumber", "80005", ".01", "DEMO PATIENT.`46", true,
             "46;ZDEMO(80003,", "NIEMI,VEIKKO"},
        Case{"VariablePointerToASpecimen", "80005", ".01", "EXTERNAL SAMPLE 001", true,
             "1;ZDEMO(80004,", "EXTERNAL SAMPLE 001"},
        Case{"VariablePointerNarrowedByFile", "80005", ".01", "DEMO SPECIMEN.`2", true,
             "2;ZDEMO(80004,", "EXTERNAL SAMPLE 002"},
        Case{"VariablePointerInInternalForm", "80005", ".01", "16;ZDEMO(80003,", true,
             "16;ZDEMO(80003,", "NIEMI,VEIKKO"},
        Case{"VariablePointerToNothing", "80005", ".01", "NOBODY", false,
             "No record that PATIENT/SPECIMEN may point to matches \"NOBODY\".", ""},
        // "@" and empty values
        Case{"AtOnAnOptionalField", "80001", "3", "@", true, "@", ""},
        Case{"AtOnARequiredField", "80001", "2", "@", false,
             "FULL NAME is required and cannot be deleted.", ""},
        Case{"AtOnTheNumberOfANewRecord", "80001", ".01", "@", false,
             "A record that is not on file cannot be deleted.", ""},
        Case{"EmptyValue", "80001", "2", "", true, "", ""},
        // word processing, computed fields, multiples
        Case{"TextLine", "80001", "100", "One line of text", true, "One line of text",
             "One line of text"},
        Case{"TextLineTooLong", "80001", "100", kLongLine.c_str(), false,
             "A line of DESCRIPTION may hold at most 245 characters; this one has 246.", ""},
        Case{"ComputedField", "80001", "901", "3", false,
             "YEARS OF USAGE is computed and cannot be changed.", ""},
        Case{"Multiple", "80001", "10", "X", false,
             "SUBRESULT is a multiple: its entries are records of sub-file 80001.02.", ""},
        // what does not exist
        Case{"UnknownFile", "4711", ".01", "X", false, "File 4711 does not exist.", ""},
        Case{"UnknownField", "80001", "55", "X", false,
             "Field 55 does not exist in file 80001 (DEMO LAB TEST).", ""}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

class ValidationOfStoredRecords : public RecordServer {};

TEST_F(ValidationOfStoredRecords, AtOnTheNumberOfAStoredRecordDeletesIt) {
    auto ask = [&](const QString& iens) {
        return CallList(
            Demo(), "DDR VALIDATOR",
            {{"\"FILE\"", "80001"}, {"\"IENS\"", iens}, {"\"FIELD\"", ".01"}, {"\"VALUE\"", "@"}});
    };
    EXPECT_EQ(ask("1,"), Lines({"[Errors]", "[Data]", "@", ""}));
    EXPECT_EQ(ask("999,"), Lines({"[Errors]", "A record that is not on file cannot be deleted.",
                                  "[Data]", "^"}));
}

TEST_F(ValidationOfStoredRecords, ABadRecordAddressIsAReason) {
    EXPECT_EQ(CallList(Demo(), "DDR VALIDATOR",
                       {{"\"FILE\"", "80001.03"},
                        {"\"IENS\"", "1,"},
                        {"\"FIELD\"", ".01"},
                        {"\"VALUE\"", "X"}}),
              Lines({"[Errors]",
                     "The record address \"1,\" does not fit sub-file 80001.03 (RESULT CODE): it "
                     "takes 2 numbers.",
                     "[Data]", "^"}));
}

}  // namespace
}  // namespace vorn::devserver::test
