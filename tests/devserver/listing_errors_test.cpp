// Listing requests the server cannot answer: each gets a clear error reply, and the server goes
// on serving the same session.
#include "common/scramble.h"
#include "tests/devserver/broker_fixture.h"

namespace vorn::devserver {
namespace {

using test::Entries;
using test::Errors;
using test::Lines;

struct BadListing {
    const char* name;
    const char* procedure;
    Entries entries;
    const char* error;
};

class ListingErrors : public test::DemoServerTest,
                      public ::testing::WithParamInterface<BadListing> {};

TEST_P(ListingErrors, AreAnsweredWithTheirTextAndTheSessionGoesOn) {
    EXPECT_EQ(Call(GetParam().procedure, GetParam().entries), Errors(GetParam().error));
    ExpectStillServing();
}

Entries Wards(const Entries& more, const char* file = "80002") {
    Entries e{{"FILE", file}, {"FIELDS", ".01;"}, {"MAX", "5"}};
    e.insert(e.end(), more.begin(), more.end());
    return e;
}
std::string Repeated() {
    std::string screen = "S A=\"xxxxxxxxxx\"";
    for (int i = 0; i < 6; ++i)
        screen += ",A=A_A_A_A_A_A_A_A";
    return screen;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Listing, ListingErrors,
    ::testing::Values(
        // screens: code the screen refuses, and errors while it runs, of the lister and the
        // finder (the screen's own tests have every case)
        BadListing{"UnsupportedCommand", "DDR LISTER", Wards({{"SCREEN", "W \"HELLO\""}}),
                   "The screen uses the command W, which is not supported."},
        BadListing{"StepLimitOfTheFinder", "VRNX FINDER",
                   {{"FILE", "80002"}, {"FIELDS", ".01;"}, {"VALUE", "M"}, {"SCREEN", Repeated()}},
                   "The screen needs more than 10000 steps on record 6."},
        BadListing{"Undefined", "DDR LISTER", Wards({{"SCREEN", "I ^ZDEMO(80002,Y,9)"}}),
                   "The screen failed on record 8: <UNDEFINED> ^ZDEMO(80002,8,9)"},
        // files, fields, indexes
        BadListing{"UnknownFile", "DDR LISTER", Wards({}, "99999"), "File 99999 does not exist."},
        BadListing{"NoFile", "DDR LISTER", Wards({}, ""), "The file number (FILE) is missing."},
        BadListing{"UnknownField", "DDR LISTER", {{"FILE", "80002"}, {"FIELDS", ".01;99;"}},
                   "Field 99 does not exist in file 80002."},
        BadListing{"WordProcessing", "DDR LISTER", {{"FILE", "80001"}, {"FIELDS", ".01;100;"}},
                   "Field 100 of file 80001 is a word-processing field and cannot be listed."},
        BadListing{"UnknownIndex", "DDR LISTER", Wards({{"XREF", "Z"}}),
                   "Index \"Z\" does not exist in file 80002."},
        BadListing{"UnknownIndexOfTheFinder", "VRNX FINDER", {{"FILE", "80002"}, {"VALUE", "M"}, {"XREF", "B^Q"}},
                   "Index \"Q\" does not exist in file 80002."},
        BadListing{"UnknownIndexOfTheLogicalPointer", "VRNX LOGICAL POINTER",
                   {{"FILE", "80006"}, {"XREF", "D"}, {"IEN", "1"}}, "Index \"D\" does not exist in file 80006."},
        // flags, MAX, record addresses
        BadListing{"UnknownFlag", "DDR LISTER", Wards({{"FLAGS", "IQ"}}),
                   "The flag \"Q\" is not supported here."},
        BadListing{"FinderFlag", "DDR LISTER", Wards({{"FLAGS", "M"}}),
                   "The flag \"M\" is not supported here."},
        BadListing{"MaxZero", "DDR LISTER", {{"FILE", "80002"}, {"MAX", "0"}},
                   "MAX must be a positive whole number or \"*\", not \"0\"."},
        BadListing{"MaxWord", "DDR LISTER", {{"FILE", "80002"}, {"MAX", "ten"}},
                   "MAX must be a positive whole number or \"*\", not \"ten\"."},
        BadListing{"SubFileWithoutParent", "DDR LISTER", Wards({}, "80001.03"),
                   "File 80001.03 is a sub-file: IENS must name its parent record."},
        BadListing{"MissingParent", "DDR LISTER", Wards({{"IENS", "999,"}}, "80001.03"),
                   "Record 999 of file 80001 does not exist."},
        BadListing{"NoAddress", "DDR LISTER", Wards({{"IENS", "abc"}}, "80001.03"),
                   "IENS \"abc\" is not a record address."},
        BadListing{"ShortAddress", "DDR LISTER", Wards({{"IENS", "3,"}}, "80001.021"),
                   "IENS \"3,\" does not name a parent record of file 80001.021."},
        BadListing{"ParentOfATopFile", "DDR LISTER", Wards({{"IENS", "12,"}}),
                   "File 80002 is not a sub-file: IENS must be empty, not \"12,\"."}),
    [](const ::testing::TestParamInfo<BadListing>& info) { return std::string(info.param.name); });
// clang-format on

using ListingAccess = test::DemoServerTest;

TEST_F(ListingAccess, AReaderMayListButNobodyWithoutTheContext) {
    test::Client raw(server->Port());
    raw.SignOn("READER", "READER.1234");
    EXPECT_EQ(raw.MError("DDR LISTER"), "Application context has not been created!");
    raw.Call("XWB CREATE CONTEXT", {QString::fromStdString(Scramble("ZAZIRERO"))});
    EXPECT_EQ(
        test::SplitLines(raw.CallList("DDR LISTER", {{"\"FILE\"", "80002"}, {"\"MAX\"", "1"}})),
        (Lines{"[Misc]", "MORE^CARDIOLOGY CLINIC^8", "[Data]", "8^CARDIOLOGY CLINIC"}));
}

}  // namespace
}  // namespace vorn::devserver
