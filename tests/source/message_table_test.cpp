#include "source/message_table.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

struct TableCase {
    int id;
    const char* text;
};

void PrintTo(const TableCase& c, std::ostream* os) {
    *os << c.id;
}

class StringTable : public ::testing::TestWithParam<TableCase> {};

TEST_P(StringTable, HoldsTheEnglishTextByteForByte) {
    EXPECT_EQ(LoadStringResource(GetParam().id).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, StringTable,
    ::testing::Values(
        TableCase{1001, "Warning"}, TableCase{1002, "Error"}, TableCase{1003, "Information"},
        TableCase{1004, "Confirmation"}, TableCase{1005, "&Ignore"}, TableCase{1006, "&Yes"},
        TableCase{1007, "&No"}, TableCase{1008, "&Ok"}, TableCase{1009, "&Abort"},
        TableCase{1010, "&Retry"}, TableCase{1011, "A&ll"}, TableCase{1012, "&Help"},
        TableCase{1021, "Too many records found. "}, TableCase{1024, " records found. "},
        TableCase{1033, "  is not valid for field "},
        TableCase{1048,
                  "Error in deleting! The following files have pointers to the current record: "},
        TableCase{1054, " minutes. Save changes or ignore and continue modifying record?"},
        TableCase{1058, "Save "}, TableCase{1060, "&Cancel"}, TableCase{1061, " <<< More >>>"},
        TableCase{1082, "You can retrieve another record by pressing 'Clear' first."},
        TableCase{1089,
                  "If you want to copy only a part of the text, select the text you want to copy "
                  "before pressing Copy button."},
        TableCase{1090, "&Find text              Ctrl+F"}, TableCase{1093, "E&xit"},
        TableCase{1095, "&Help"}));

TEST(StringTable, HoldsEveryIdFrom1001To1095AndNothingElse) {
    for (int id = 1001; id <= 1095; ++id)
        EXPECT_FALSE(LoadStringResource(id).isEmpty()) << id;
    EXPECT_TRUE(LoadStringResource(1000).isEmpty());
    EXPECT_TRUE(LoadStringResource(1096).isEmpty());
    EXPECT_TRUE(LoadStringResource(7).isEmpty());
    EXPECT_TRUE(LoadStringResource(5001).isEmpty());
    EXPECT_TRUE(LoadStringResource(-1).isEmpty());
}

}  // namespace
}  // namespace vorn
