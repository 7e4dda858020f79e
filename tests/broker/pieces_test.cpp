#include "broker/pieces.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

struct PieceCase {
    const char* text;
    const char* delimiter;
    int n;
    const char* piece;
};

void PrintTo(const PieceCase& c, std::ostream* os) {
    *os << '"' << c.text << "\" / \"" << c.delimiter << "\" / " << c.n;
}

class Pieces : public ::testing::TestWithParam<PieceCase> {};

TEST_P(Pieces, AreAddressedFromOne) {
    const PieceCase& c = GetParam();
    EXPECT_EQ(Piece(QString::fromUtf8(c.text), QString::fromUtf8(c.delimiter), c.n),
              QString::fromUtf8(c.piece))
        << c.text << " / " << c.delimiter << " / " << c.n;
}

INSTANTIATE_TEST_SUITE_P(
    All, Pieces,
    ::testing::Values(PieceCase{"80001^12^.01^HB^Hemoglobin", "^", 1, "80001"},
                      PieceCase{"80001^12^.01^HB^Hemoglobin", "^", 3, ".01"},
                      PieceCase{"80001^12^.01^HB^Hemoglobin", "^", 5, "Hemoglobin"},
                      // Fewer pieces than asked for: empty.
                      PieceCase{"80001^12^.01^HB^Hemoglobin", "^", 6, ""},
                      // No delimiter: the whole text is piece 1, and the only one.
                      PieceCase{"plain", "^", 1, "plain"}, PieceCase{"plain", "^", 2, ""},
                      PieceCase{"", "^", 1, ""},
                      // Empty pieces count.
                      PieceCase{"a^^c", "^", 2, ""}, PieceCase{"a^^c", "^", 3, "c"},
                      PieceCase{"^b", "^", 1, ""}, PieceCase{"a^", "^", 2, ""},
                      // Other delimiters, also longer than one character.
                      PieceCase{"0;1", ";", 2, "1"}, PieceCase{"3,12,", ",", 1, "3"},
                      PieceCase{"3,12,", ",", 3, ""},
                      PieceCase{"C:\\x.exe /n /e", " /", 1, "C:\\x.exe"},
                      PieceCase{"Info  - 29", "  - ", 1, "Info"},
                      PieceCase{"Info  - 29", "  - ", 2, "29"},
                      // Nonsense numbers and the empty delimiter.
                      PieceCase{"a^b", "^", 0, ""}, PieceCase{"a^b", "^", -1, ""},
                      PieceCase{"a^b", "", 1, "a^b"}, PieceCase{"a^b", "", 2, ""}));

TEST(PieceCount, CountsTheDelimitersPlusOne) {
    EXPECT_EQ(PieceCount(u"a^b^c", u"^"), 3);
    EXPECT_EQ(PieceCount(u"", u"^"), 1);
    EXPECT_EQ(PieceCount(u"^^", u"^"), 3);
    EXPECT_EQ(PieceCount(u"a  - b  - c", u"  - "), 3);
    EXPECT_EQ(PieceCount(u"a^b", u""), 1);
}

TEST(Piece, TakesViewsWithoutCopying) {
    const QString line = QStringLiteral("1^2^3");
    EXPECT_EQ(Piece(QStringView(line).mid(2), u"^", 1), "2");
}

}  // namespace
}  // namespace vorn
