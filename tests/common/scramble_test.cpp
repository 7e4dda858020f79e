#include "common/scramble.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "common/cipher_pad.h"

namespace vorn {
namespace {

TEST(CipherPad, EveryRowIsAPermutationOfThePrintablesWithoutCaret) {
    std::string printables;
    for (char c = ' '; c <= '~'; ++c)
        if (c != '^') printables += c;
    for (const auto& row : kCipherPad) {
        std::string sorted(row);
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, printables);
    }
}

TEST(Scramble, RoundTripsEveryPrintableCharacterAndRandomTextsAndNeverHoldsACaret) {
    std::string all;
    for (int c = 32; c < 127; ++c)
        all += static_cast<char>(c);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(Unscramble(Scramble(all)), all);
    std::mt19937 gen(42);
    std::uniform_int_distribution<int> len(0, 40), ch(32, 126);
    for (int i = 0; i < 2000; ++i) {
        std::string text;
        for (int n = len(gen); n > 0; --n) {
            char c = static_cast<char>(ch(gen));
            text += c == '^' ? 'x' : c;
        }
        const std::string s = Scramble(text);
        ASSERT_EQ(s.size(), text.size() + 2);
        EXPECT_EQ(s.find('^'), std::string::npos) << s;
        EXPECT_EQ(Unscramble(s), text);
    }
}

TEST(Scramble, MarkersDifferAndLieBetweenSpaceAndThree) {
    std::set<std::pair<char, char>> seen;
    for (int i = 0; i < 1000; ++i) {
        const std::string s = Scramble("DEMO;DEMO.1234");
        EXPECT_NE(s.front(), s.back());
        EXPECT_GE(s.front(), ' ');
        EXPECT_LE(s.front(), '3');
        EXPECT_GE(s.back(), ' ');
        EXPECT_LE(s.back(), '3');
        seen.insert({s.front(), s.back()});
    }
    // Calls made in quick succession still pick varied rows.
    EXPECT_GT(seen.size(), 100u);
}

TEST(Scramble, SubstitutesByPositionBetweenTheTwoRowsAndUnscrambleTakesOnlyItsOwnTexts) {
    const std::string s = ScrambleWithRows(std::string("a\tb^", 4), 0, 1);
    EXPECT_EQ(s[2], '\t');
    EXPECT_EQ(s[4], '^');  // the caret is in no row, so it is not substituted
    EXPECT_EQ(s.front(), ' ');
    EXPECT_EQ(s.back(), '!');
    // Within the rows, by position from the first row into the second: "A" stands in row 3
    // where "T" stands in row 7.
    EXPECT_EQ(ScrambleWithRows("A", 3, 7), "#T'");
    // Unscramble gives the empty text back, and nothing for texts Scramble cannot give.
    EXPECT_EQ(Scramble("").size(), 2u) << "the empty text gives the two markers";
    EXPECT_EQ(Unscramble(Scramble("")), "");
    EXPECT_EQ(Unscramble(""), "");
    EXPECT_EQ(Unscramble("x"), "");
    EXPECT_EQ(Unscramble("~abc~"), "");
    EXPECT_EQ(Unscramble("#DEMO;DEMO.1234#"), "") << "equal rows: the text in clear";
}

}  // namespace
}  // namespace vorn
