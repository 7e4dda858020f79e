#include "common/counted_fields.h"

#include <gtest/gtest.h>

namespace vorn::wire {
namespace {

TEST(PadCount, PadsTheLengthToTheGivenDigitsAndRefusesATextLongerThanItsField) {
    EXPECT_EQ(PadCount("XWB;;;;", 3), "007XWB;;;;");
    EXPECT_EQ(PadCount("", 5), "00000");
    EXPECT_EQ(PadCount(std::string(999, 'a'), 3).substr(0, 3), "999");
    EXPECT_EQ(PadCount(std::string(99999, 'a'), 5).substr(0, 5), "99999");
    EXPECT_THROW(PadCount(std::string(100000, 'a'), 5), FieldTooLong);
    try {
        PadCount(std::string(1000, 'a'), 3);
        ADD_FAILURE() << "no FieldTooLong for 1000 bytes in 3 digits";
    } catch (const FieldTooLong& e) {
        EXPECT_EQ(e.length(), 1000u);
        EXPECT_EQ(e.limit(), 999u);
    }
}

TEST(ByteCount, CountsInOneByteAndSendsTheEmptyTextAsZero) {
    EXPECT_EQ(ByteCount("0"), std::string("|\0010"));
    EXPECT_EQ(ByteCount(""), std::string("|\0010"));
    EXPECT_EQ(ByteCount("1.104"), std::string("|\0051.104"));
    const std::string longest(255, 'v');
    EXPECT_EQ(ByteCount(longest), "|\xff" + longest);
    EXPECT_THROW(ByteCount(std::string(256, 'v')), FieldTooLong);
}

}  // namespace
}  // namespace vorn::wire
