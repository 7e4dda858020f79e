// Reading the server's answers: the pieces of a line and the tagged sections.
#include "broker/section_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "broker/pieces.h"

namespace vorn {
namespace {

// The markers of a database read: data, errors, and "[END_diDATA]" closing.
const SectionMarkers kRead = {{kDataMarker, Section::Data},
                              {kBeginDataMarker, Section::Data},
                              {kErrorsMarker, Section::Errors},
                              {kBeginErrorsMarker, Section::Errors},
                              {kEndDataMarker, Section::None}};

TEST(SectionMarkers, CompareWholeLinesCaseSensitivelyWithoutTrimming) {
    EXPECT_EQ(kRead.Opens(u"[Data]"), Section::Data);
    EXPECT_EQ(kRead.Opens(u"[END_diDATA]"), Section::None);
    // "[Misc]" is not in this caller's set.
    for (const char* other : {"[data]", " [Data]", "[Data] ", "[Data]x", "[Dat", "", "[Misc]"})
        EXPECT_EQ(kRead.Opens(QString(other)), std::nullopt) << other;
    // A marker declared again takes the new section.
    SectionMarkers again;
    EXPECT_TRUE(again.IsEmpty());
    again.Add(kMiscMarker, Section::Misc).Add(kMiscMarker, Section::None);
    EXPECT_EQ(again.Opens(u"[Misc]"), Section::None);
}

TEST(ReadSections, GathersTheContentLinesOfEachSectionInOrder) {
    const SectionedAnswer a =
        ReadSections({"before", "[BEGIN_diDATA]", "80001^12^.01^HB^HB", "[END_diDATA]", "between",
                      "[BEGIN_diERRORS]", "first error", "[Data]", "80001^12^2^x^Hemoglobin",
                      "[Errors]", "second error"},
                     kRead);
    EXPECT_EQ(a.Lines(Section::Data),
              (QStringList{"80001^12^.01^HB^HB", "80001^12^2^x^Hemoglobin"}));
    EXPECT_EQ(a.Lines(Section::Errors), (QStringList{"first error", "second error"}));
    EXPECT_EQ(a.Lines(Section::None), (QStringList{"before", "between"}));
    EXPECT_TRUE(a.Lines(Section::Misc).isEmpty());
    EXPECT_TRUE(a.Opened(Section::Data));
    EXPECT_TRUE(a.Opened(Section::Errors));
    EXPECT_FALSE(a.Opened(Section::Misc));
    EXPECT_EQ(a.Joined(Section::Data), "80001^12^.01^HB^HB80001^12^2^x^Hemoglobin");
    // A marker without lines still counts as opened, and empty lines are content.
    const SectionedAnswer empty = ReadSections({"[Errors]", "[Data]", "", "x", ""}, kRead);
    EXPECT_TRUE(empty.Opened(Section::Errors));
    EXPECT_TRUE(empty.IsEmpty(Section::Errors));
    EXPECT_EQ(empty.Lines(Section::Data), (QStringList{"", "x", ""}));
    // A marker of another caller is content.
    const SectionedAnswer help = ReadSections(
        {"[BEGIN_diHELP]", "Type a name ", "[Data]", "of 3-30 letters.", "[END_diHELP]", "tail"},
        {{kBeginHelpMarker, Section::Help}, {kEndHelpMarker, Section::None}});
    EXPECT_EQ(help.Joined(Section::Help), "Type a name [Data]of 3-30 letters.");
    EXPECT_EQ(help.Lines(Section::None), (QStringList{"tail"}));
}

TEST(ReadSections, StartsAtTheGivenLine) {
    const QStringList kept = {"[Data]", "old line", "[Errors]", "new error", "[Data]", "new"};
    const SectionedAnswer a = ReadSections(kept, kRead, 2);
    EXPECT_EQ(a.Lines(Section::Data), (QStringList{"new"}));
    EXPECT_EQ(a.Lines(Section::Errors), (QStringList{"new error"}));
    // Past the end, or before the start.
    EXPECT_TRUE(ReadSections(kept, kRead, 99).IsEmpty(Section::Data));
    EXPECT_EQ(ReadSections(kept, kRead, -5).Lines(Section::Data), (QStringList{"old line", "new"}));
    // Without markers everything is in no section.
    EXPECT_EQ(ReadSections({"[Data]", "a"}, SectionMarkers()).Lines(Section::None),
              (QStringList{"[Data]", "a"}));
}

struct Walked {
    Section section;
    QString line;
    qsizetype index;
    bool operator==(const Walked&) const = default;
};

void PrintTo(const Walked& w, std::ostream* os) {
    *os << static_cast<int>(w.section) << ":" << w.line.toStdString() << "@" << w.index;
}

// Every content line the reader steps to, with its section and position.
std::vector<Walked> Walk(SectionReader& r) {
    std::vector<Walked> walked;
    while (r.Next())
        walked.push_back({r.CurrentSection(), r.Line(), r.Index()});
    return walked;
}

TEST(SectionReader, WalksContentLinesWithTheirSectionAndPosition) {
    SectionReader r({"x", "[Data]", "a", "[BEGIN_diERRORS]", "e", "[END_diDATA]", "z"}, kRead);
    EXPECT_EQ(r.Line(), "");
    EXPECT_EQ(Walk(r), (std::vector<Walked>{{Section::None, "x", 0},
                                            {Section::Data, "a", 2},
                                            {Section::Errors, "e", 4},
                                            {Section::None, "z", 6}}));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_FALSE(r.Next());
    EXPECT_FALSE(r.NextRaw());
    EXPECT_EQ(r.Line(), "");
    // Started inside a section, at a given line.
    SectionReader inside({"skip", "a", "[END_diDATA]", "b"}, kRead, 1, Section::Data);
    EXPECT_EQ(Walk(inside),
              (std::vector<Walked>{{Section::Data, "a", 1}, {Section::None, "b", 3}}));
    // The reader keeps its own copy of the markers it was made with.
    SectionReader own = [] {
        return SectionReader({"[Misc]", "MORE^x^12"}, SectionMarkers{{kMiscMarker, Section::Misc}});
    }();
    EXPECT_EQ(Walk(own), (std::vector<Walked>{{Section::Misc, "MORE^x^12", 1}}));
}

TEST(SectionReader, RawStepsTakeMarkerLikeLinesAsTheyAre) {
    // A word-processing field: its text may hold a line that looks like a marker.
    SectionReader r({"[BEGIN_diDATA]", "80001^12^100^[WORD PROCESSING]", "line one", "[Data]",
                     "$$END$$", "80001^12^.01^HB^HB", "[END_diDATA]"},
                    kRead);
    ASSERT_TRUE(r.Next());
    EXPECT_EQ(r.Line(), "80001^12^100^[WORD PROCESSING]");
    QStringList body;
    while (r.NextRaw() && r.Line() != "$$END$$")
        body << r.Line();
    EXPECT_EQ(body, (QStringList{"line one", "[Data]"}));
    EXPECT_EQ(r.CurrentSection(), Section::Data);
    ASSERT_TRUE(r.Next());
    EXPECT_EQ(r.Line(), "80001^12^.01^HB^HB");
    EXPECT_EQ(r.Index(), 5);
    EXPECT_FALSE(r.Next());
    EXPECT_EQ(r.CurrentSection(), Section::None);
}

// Past the last piece, and for a number below 1, the piece is empty; so are empty pieces.
// Without the delimiter the whole text is piece 1; delimiters may be longer than one character;
// the empty delimiter never splits.
TEST(Pieces, AreAddressedFromOneAndCountedAsTheDelimitersPlusOne) {
    const char* const hb = "80001^12^.01^HB^Hemoglobin";
    // clang-format off
    const struct { const char* text; const char* delimiter; int n; const char* piece; } cases[] = {
        {hb, "^", 1, "80001"}, {hb, "^", 3, ".01"}, {hb, "^", 5, "Hemoglobin"}, {hb, "^", 6, ""},
        {"plain", "^", 1, "plain"}, {"plain", "^", 2, ""}, {"", "^", 1, ""}, {"a^^c", "^", 2, ""},
        {"a^^c", "^", 3, "c"}, {"^b", "^", 1, ""}, {"a^", "^", 2, ""}, {"0;1", ";", 2, "1"},
        {"3,12,", ",", 1, "3"}, {"3,12,", ",", 3, ""}, {"C:\\x.exe /n /e", " /", 1, "C:\\x.exe"},
        {"Info  - 29", "  - ", 1, "Info"}, {"Info  - 29", "  - ", 2, "29"}, {"a^b", "^", 0, ""},
        {"a^b", "^", -1, ""}, {"a^b", "", 1, "a^b"}, {"a^b", "", 2, ""}};
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(Piece(QString::fromUtf8(c.text), QString::fromUtf8(c.delimiter), c.n),
                  QString::fromUtf8(c.piece))
            << c.text << " / " << c.delimiter << " / " << c.n;
    EXPECT_EQ(PieceCount(u"a^b^c", u"^"), 3);
    EXPECT_EQ(PieceCount(u"", u"^"), 1);
    EXPECT_EQ(PieceCount(u"^^", u"^"), 3);
    EXPECT_EQ(PieceCount(u"a  - b  - c", u"  - "), 3);
    EXPECT_EQ(PieceCount(u"a^b", u""), 1);
}

}  // namespace
}  // namespace vorn
