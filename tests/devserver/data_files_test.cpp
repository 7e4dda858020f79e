// ZWR, dates, the dictionary and the seeded demo data.
#include <gtest/gtest.h>

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

TEST(Dates, InternalAndExternalForms) {
    EXPECT_EQ(InternalDate({2026, 12, 6}), "3261206");
    EXPECT_EQ(ExternalDate("3261206.1430"), "DEC 6, 2026");
    EXPECT_EQ(ExternalDate("3261200"), "DEC 2026");
    EXPECT_EQ(ExternalDate("3260000"), "2026");
    EXPECT_EQ(ExternalDate("3260230"), "");
    EXPECT_EQ(ExternalDate("2000229"), "");  // 1900 is no leap year
    EXPECT_EQ(ExternalDate("3000229"), "FEB 29, 2000");
    EXPECT_EQ(ExternalDate("abc"), "");
}

TEST(Dates, TypedForms) {
    const CivilDate today{2026, 12, 6};
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"12/6/2026", "3261206"},  {"6.12.2026", "3261206"},   {"2026-12-06", "3261206"},
        {"DEC 6 2026", "3261206"}, {"dec 6, 2026", "3261206"}, {"6 DEC 2026", "3261206"},
        {"T", "3261206"},          {"N", "3261206"},           {"T+1", "3261207"},
        {"T-6", "3261130"},        {"T+30", "3270105"},        {"1/2/26", "3260102"},
        {"12/7/26", "2261207"},    {"2/29/2024", "3240229"}};
    for (const auto& [typed, internal] : cases)
        EXPECT_EQ(ParseDateInput(typed, today), internal) << typed;
    for (const char* bad :
         {"", "2/30/2026", "13/1/2026", "T+", "X", "DEC 2026", "6 FOO 2026", "1/2/123"})
        EXPECT_FALSE(ParseDateInput(bad, today).has_value()) << bad;
    EXPECT_EQ(WholeYearsBetween({2010, 1, 1}, today), 16);
    EXPECT_EQ(WholeYearsBetween({2010, 12, 7}, today), 15);
}

class Demo : public ::testing::Test {
  protected:
    std::shared_ptr<const Dictionary> dict =
        Dictionary::Load(DefaultSeedFolder() + "/dictionary.vdd");
};

TEST_F(Demo, DictionaryErrorsNameTheFileAndLine) {
    auto parse = [](const std::string& text) {
        std::istringstream in(text);
        try {
            Dictionary::Parse(in, "d.vdd");
        } catch (const SectionFileError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(parse("[file 5]\nname = X\nglobal = ^X(5,\n[field 5 .01]\nlabel = A\ntype = "
                    "F\nstorage = 0;1\n"),
              "d.vdd:4: [field 5 .01]: every field has a help prompt");
    EXPECT_EQ(parse("[file 5]\nname = X\ncolour = red\n"),
              "d.vdd:1: [file 5]: unknown key \"colour\"");
    EXPECT_EQ(parse("[field 9 .01]\n"),
              "d.vdd:1: [field 9 .01]: file 9 is not described before it");
    EXPECT_NE(parse("[file 5]\nname = X\nglobal = ^X(5,\n[field 5 .01]\nlabel = A\ntype = "
                    "P\nstorage = 0;1\nhelp = h\npoints-to = 77\n")
                  .find("points to the unknown file 77"),
              std::string::npos);
}

class Seeded : public Demo {
  protected:
    long Count(const std::string& file) { return ReadHeader(store, dict->File(file)->root).count; }
    long Records(const GlobalRef& root) {
        long n = 0;
        for (std::string s = store.Order(root.Child("0")); !s.empty() && IsCanonicNumber(s);
             s = store.Order(root.Child(s)))
            ++n;
        return n;
    }
    test::TempFolder folder;
    std::string path = test::SeededDatabaseCopy(folder);
    GlobalStore store{path};
};

TEST_F(Seeded, EveryFilesHeaderCountsItsRecords) {
    for (const FileDef* file : dict->TopLevelFiles()) {
        if (file->readOnly) continue;
        EXPECT_EQ(Count(file->number), Records(file->root)) << file->number;
        EXPECT_GT(Count(file->number), 2) << file->number;
    }
}

TEST_F(Seeded, FileOneListsTheTopLevelFiles) {
    EXPECT_EQ(store.GetOr(GlobalRef{"DIC", {"80001", "0"}}), "DEMO LAB TEST^80001");
    EXPECT_EQ(store.GetOr(GlobalRef{"DIC", {"80001", "0", "GL"}}), "^ZDEMO(80001,");
    EXPECT_EQ(store.GetOr(GlobalRef{"DIC", {"3.5", "0", "GL"}}), "^%ZIS(1,");
    EXPECT_EQ(store.Data(GlobalRef{"DIC", {"80001.02"}}), 0);
    EXPECT_EQ(store.Data(GlobalRef{"DIC", {"B", "DEMO PATIENT", "80003"}}), 1);
}

TEST_F(Seeded, UsersAreStoredWithoutTheirCodes) {
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
    EXPECT_EQ(ReadHeader(store, dict->File("80005")->root).count, 900);
    EXPECT_EQ(ReadHeader(store, dict->File("80000")->root).count, 90);
    EXPECT_EQ(ReadHeader(store, dict->File("3.5")->root).count, 5);  // devices are not multiplied
    // Copy 2 of patient 1 points to copy 2 of its person.
    const std::string person = Piece(store.GetOr(GlobalRef{"ZDEMO", {"80003", "1", "0"}}), '^', 1);
    const std::string copy = Piece(store.GetOr(GlobalRef{"ZDEMO", {"80003", "121", "0"}}), '^', 1);
    EXPECT_EQ(std::stol(copy), std::stol(person) + 60);
    EXPECT_EQ(Piece(store.GetOr(GlobalRef{"ZDEMO", {"80001", "81", "0"}}), '^', 1), "HB 3");
    EXPECT_EQ(store.Data(GlobalRef{"ZDEMO", {"80001", "B", "HB 3", "81"}}), 1);
}

}  // namespace
}  // namespace vorn::devserver
