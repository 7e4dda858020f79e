// Which item a stored value chooses, for the cases the demo data do not reach.
#include "controls/item_choice.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

struct ChoiceCase {
    const char* name;
    QStringList values;
    QString internal;
    QString external;
    int expected;
};

class ChooseItemFor : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChooseItemFor, StoredValue) {
    const ChoiceCase& c = GetParam();
    EXPECT_EQ(ChooseItem(c.values, {"Lab", "Ward", "", "External"}, c.internal, c.external),
              c.expected);
}

const ChoiceCase kChoiceCases[] = {
    {"CodeBeforeText", {"3", "1", "2", "4"}, "1", "External", 1},
    {"TextWhenNoCodeMatches", {"A", "B", "C", "D"}, "9", "Ward", 1},
    {"PositionFromOneWithoutCodes", {}, "2", "WARD", 1},
    {"PositionOfTheLastItem", {}, "4", "", 3},
    {"NoPositionZero", {}, "0", "", -1},
    {"NoPositionBeyondTheItems", {}, "5", "", -1},
    {"NoPositionWithCodes", {"A", "B", "C", "D"}, "2", "", -1},
    {"NoPositionForAText", {}, "2x", "", -1},
    {"AnEmptyValueChoosesNoItemWithAnEmptyText", {"", "", "", ""}, "", "", -1},
    {"ACodeBeyondTheItemsIsNoItem", {"1", "2", "3", "4", "5"}, "5", "", -1},
};
INSTANTIATE_TEST_SUITE_P(Controls, ChooseItemFor, ::testing::ValuesIn(kChoiceCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorn
