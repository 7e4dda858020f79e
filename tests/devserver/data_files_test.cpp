// ZWR, dates, the dictionary and the seeded demo data.
#include <sstream>

#include "devserver/files/dictionary.h"
#include "devserver/files/file_records.h"
#include "devserver/files/section_file.h"
#include "devserver/files/seed.h"
#include "devserver/files/users.h"
#include "devserver/m/fm_dates.h"
#include "devserver/storage/zwr.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::devserver {
namespace {

TEST(Zwr, ParsesAndFormatsNodesAndErrorsNameTheLineAndColumn) {
    const ZwrNode n = ParseZwr("^ZDEMO(80001,1,0)=\"HB^Hemoglobin^1^3100101^1^6^1^2\"");
    EXPECT_EQ(n.ref, (GlobalRef{"ZDEMO", {"80001", "1", "0"}}));
    EXPECT_EQ(n.value, "HB^Hemoglobin^1^3100101^1^6^1^2");
    const ZwrNode s = ParseZwr("^%ZIS(1,5,\"TYPE\")=\"a\"\"b\"_$C(9,0)_\"c\"");
    EXPECT_EQ(s.ref, (GlobalRef{"%ZIS", {"1", "5", "TYPE"}}));
    EXPECT_EQ(s.value, std::string("a\"b\t\0c", 6));
    EXPECT_EQ(FormatZwr(s.ref, s.value), "^%ZIS(1,5,\"TYPE\")=\"a\"\"b\"_$C(9,0)_\"c\"");
    EXPECT_EQ(FormatZwr(GlobalRef{"X", {"007"}}, ""), "^X(\"007\")=\"\"");
    EXPECT_EQ(ParseZwr("^X(007)=\"\"").ref.subscripts[0], "7");
    // Errors name the line and column.
    std::istringstream in("^A(1)=\"ok\"\n\n; comment\n^A(2)=\"unterminated\n");
    test::TempFolder folder;
    GlobalStore store(folder.Path("z.db"));
    try {
        ImportZwr(store, in, "demo.zwr");
        FAIL() << "no error";
    } catch (const ZwrError& e) {
        EXPECT_STREQ(e.what(), "demo.zwr:4: column 20: a closing quote expected");
    }
    for (const char* bad : {"A(1)=\"x\"", "^(1)=\"x\"", "^A(1=\"x\"", "^A(\"\")=\"x\"", "^A(1)=x",
                            "^A(1)=\"x\" y", "^A(1)=$C(300)"})
        EXPECT_THROW(ParseZwr(bad), ZwrError) << bad;
}

TEST(Dates, InternalExternalAndTypedForms) {
    EXPECT_EQ(InternalDate({2026, 12, 6}), "3261206");
    EXPECT_EQ(ExternalDate("3261206.1430"), "DEC 6, 2026");
    EXPECT_EQ(ExternalDate("3261200"), "DEC 2026");
    EXPECT_EQ(ExternalDate("3260000"), "2026");
    EXPECT_EQ(ExternalDate("3260230"), "");
    EXPECT_EQ(ExternalDate("2000229"), "");  // 1900 is no leap year
    EXPECT_EQ(ExternalDate("3000229"), "FEB 29, 2000");
    EXPECT_EQ(ExternalDate("abc"), "");
    const CivilDate today{2026, 12, 6};
    const std::vector<std::pair<const char*, const char*>> typed = {
        {"12/6/2026", "3261206"},  {"6.12.2026", "3261206"},   {"2026-12-06", "3261206"},
        {"DEC 6 2026", "3261206"}, {"dec 6, 2026", "3261206"}, {"6 DEC 2026", "3261206"},
        {"T", "3261206"},          {"N", "3261206"},           {"T+1", "3261207"},
        {"T-6", "3261130"},        {"T+30", "3270105"},        {"1/2/26", "3260102"},
        {"12/7/26", "2261207"},    {"2/29/2024", "3240229"}};
    for (const auto& [text, internal] : typed)
        EXPECT_EQ(ParseDateInput(text, today), internal) << text;
    for (const char* bad :
         {"", "2/30/2026", "13/1/2026", "T+", "X", "DEC 2026", "6 FOO 2026", "1/2/123"})
        EXPECT_FALSE(ParseDateInput(bad, today).has_value()) << bad;
    EXPECT_EQ(WholeYearsBetween({2010, 1, 1}, today), 16);
    EXPECT_EQ(WholeYearsBetween({2010, 12, 7}, today), 15);
}

TEST(DictionaryFile, ErrorsNameTheFileAndLine) {
    auto parse = [](const std::string& text) {
        std::istringstream in(text);
        try {
            Dictionary::Parse(in, "d.vdd");
        } catch (const SectionFileError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    const std::string field = "[file 5]\nname = X\nglobal = ^X(5,\n[field 5 .01]\nlabel = A\n";
    EXPECT_EQ(parse(field + "type = F\nstorage = 0;1\n"),
              "d.vdd:4: [field 5 .01]: every field has a help prompt");
    EXPECT_EQ(parse("[file 5]\nname = X\ncolour = red\n"),
              "d.vdd:1: [file 5]: unknown key \"colour\"");
    EXPECT_EQ(parse("[field 9 .01]\n"),
              "d.vdd:1: [field 9 .01]: file 9 is not described before it");
    EXPECT_NE(parse(field + "type = P\nstorage = 0;1\nhelp = h\npoints-to = 77\n")
                  .find("points to the unknown file 77"),
              std::string::npos);
}

class Seeded : public ::testing::Test {
  protected:
    std::shared_ptr<const Dictionary> dict =
        Dictionary::Load(DefaultSeedFolder() + "/dictionary.vdd");
    test::TempFolder folder;
    GlobalStore store{test::SeededDatabaseCopy(folder)};
};

TEST_F(Seeded, HeadersCountTheRecordsFileOneListsTheFilesAndUsersAreStoredWithoutCodes) {
    for (const FileDef* file : dict->TopLevelFiles()) {
        if (file->readOnly) continue;
        long records = 0;
        for (std::string s = store.Order(file->root.Child("0")); !s.empty() && IsCanonicNumber(s);
             s = store.Order(file->root.Child(s)))
            ++records;
        const long count = ReadHeader(store, file->root).count;
        EXPECT_EQ(count, records) << file->number;
        EXPECT_GT(count, 2) << file->number;
    }
    // File 1 lists the top-level files.
    EXPECT_EQ(store.GetOr(GlobalRef{"DIC", {"80001", "0"}}), "DEMO LAB TEST^80001");
    EXPECT_EQ(store.GetOr(GlobalRef{"DIC", {"80001", "0", "GL"}}), "^ZDEMO(80001,");
    EXPECT_EQ(store.GetOr(GlobalRef{"DIC", {"3.5", "0", "GL"}}), "^%ZIS(1,");
    EXPECT_EQ(store.Data(GlobalRef{"DIC", {"80001.02"}}), 0);
    EXPECT_EQ(store.Data(GlobalRef{"DIC", {"B", "DEMO PATIENT", "80003"}}), 1);
    // Users are stored without their codes.
    UserStore users(store, 50);
    std::string everything;
    for (const std::string& s : users.StoredCredentialTexts())
        everything += s;
    for (const char* code : {"DEMO.1234", "READER.1234", "CHANGE.1234", "LOCKED.1234"})
        EXPECT_EQ(everything.find(code), std::string::npos) << code;
    // Finding users by their codes and their rights are the sign-on's and the procedures' tests.
    EXPECT_TRUE(users.FindByCodes("demo", "demo.1234").has_value());
}

TEST(SeedScale, MultipliesTheDemoRecordsAndTheirPointers) {
    test::TempFolder folder;
    GlobalStore store(test::SeededDatabaseCopy(folder, 3));
    auto dict = Dictionary::Load(DefaultSeedFolder() + "/dictionary.vdd");
    auto count = [&](const char* file) { return ReadHeader(store, dict->File(file)->root).count; };
    auto first = [&](Subscripts s) { return Piece(store.GetOr(GlobalRef{"ZDEMO", s}), '^', 1); };
    EXPECT_EQ(count("80005"), 900);
    EXPECT_EQ(count("80000"), 90);
    EXPECT_EQ(count("3.5"), 5);  // devices are not multiplied
    // Copy 2 of patient 1 points to copy 2 of its person.
    EXPECT_EQ(std::stol(first({"80003", "121", "0"})), std::stol(first({"80003", "1", "0"})) + 60);
    EXPECT_EQ(first({"80001", "81", "0"}), "HB 3");
    EXPECT_EQ(store.Data(GlobalRef{"ZDEMO", {"80001", "B", "HB 3", "81"}}), 1);
}

}  // namespace
}  // namespace vorn::devserver
