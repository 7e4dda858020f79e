// The report and paging requests and replies, the device words, and where printed lines go.
#include <gtest/gtest.h>

#include "output/internal/line_printing.h"
#include "output/internal/print_requests.h"
#include "output/print_devices.h"
#include "output/related_records.h"

namespace vorn::output {
namespace {

PageAnswer Page(const QStringList& lines) {
    return ReadPageAnswer(RpcReply(lines.join(QStringLiteral("\r\n"))));
}
ReportAnswer Report(const QStringList& lines) {
    return ReadReportAnswer(RpcReply(lines.join(QStringLiteral("\r\n"))));
}

TEST(ReportRequest, SendsItsKeysInOrderAndLeavesTheEmptyOnesOut) {
    const RpcRequest full =
        ReportRequest(ReportParameters{"80001", QStringList{"<CAPTIONED>"}, "A", "M", "NUMBER=3",
                                       "Tests", "CLIENT WORKSTATION", "I 1", "I 2", "ZZ"});
    QStringList keys;
    for (const auto& [subscript, value] : full.Parameters().at(0).entries)
        keys << subscript + u'=' + value;
    EXPECT_EQ(keys, (QStringList{"\"FILE\"=80001", "\"FIELDS\"=<CAPTIONED>;", "\"FROM\"=A",
                                 "\"BY\"=NUMBER=3", "\"TO\"=M", "\"DHD\"=Tests",
                                 "\"IOP\"=CLIENT WORKSTATION", "\"DIS0\"=I 1", "\"DIS1\"=I 2",
                                 "\"ROUTINE\"=ZZ"}));
    ReportParameters two;
    two.file = "80002";
    two.fieldNumbers = {".01", "2"};
    const RpcRequest bare = ReportRequest(two);
    EXPECT_EQ(bare.Parameters().at(0).entries.size(), 2);
    EXPECT_EQ(bare.EntryValue("\"FIELDS\""), ".01;2;");
}

// A refusal's lines: the print test of a report without a document.
TEST(ReportAnswer, TheHandleIsTheFirstDataLine) {
    EXPECT_EQ(Report({"[Data]", "abc", "def"}).handle, "abc");
    EXPECT_EQ(Report({"[Misc]", "abc"}).handle, "");
}

// A sectioned page's lines, whether more follow, and its errors: the print tests' documents.
TEST(PageAnswer, SectionedWholeOrNothing) {
    EXPECT_EQ(Page({"[Misc]", "200^1", "[Data]", "a", "\f", "b"}).position, "200");
    EXPECT_EQ(Page({"plain", "text"}).shape, PageAnswer::Shape::Whole);
    EXPECT_EQ(Page({"[Data]"}).shape, PageAnswer::Shape::Nothing);
}

TEST(DocumentPaging, AServerThatSaysMoreButSendsNothingIsNotAskedAgain) {
    DocumentPaging paging;
    EXPECT_TRUE(paging.Take(Page({"[Misc]", "1^1", "[Data]", "a"})));
    EXPECT_FALSE(paging.Take(Page({"[Misc]", "1^1", "[Data]"})));
    EXPECT_TRUE(paging.Stalled());
    EXPECT_EQ(paging.Lines(), QStringList{"a"});
    EXPECT_FALSE(paging.Take(Page({"whole", "reply"})));
    EXPECT_EQ(paging.Lines(), (QStringList{"whole", "reply"}));
}

TEST(PrintDevices, EveryWordHasItsIop) {
    for (const char* word :
         {"onscreen", "näyttö", "tiedosto", "file", "exceltiedosto", "excelfile", "wordfile"})
        EXPECT_EQ(IopOfDevice(QString::fromUtf8(word), "LASER"), "CLIENT WORKSTATION") << word;
    // The workstation printer's and a server printer's: the device dialog's tests.
    EXPECT_EQ(IopOfDevice("kirjoitin", ""), "CLIENT WORKSTATION;;68");
    EXPECT_EQ(IopOfDevice("other", "LASER"), "");
    EXPECT_TRUE(IsWorkstationIop("ZADIROVUZOVA;;68"));
    EXPECT_FALSE(IsWorkstationIop("OFFICE PRINTER"));
}

TEST(PlaceLines, AFormFeedMakesNoEmptyPage) {
    const auto placed = printing::PlaceLines({"\f", "a", "\fx", "\f", "b"}, 1440);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0].page, 0);
    EXPECT_EQ(placed[1].page, 1);
    EXPECT_EQ(placed[1].index, 4);
}

// What the related-records operation says when the link fails, by where its one filing call
// stood: only a call that went out leaves the outcome open. A call never sent, moving or
// clearing, is the related-records test's (ALinkDeadBeforeTheFilingSaysNoneWasMovedOrCleared).
TEST(FilingFailure, SaysWhatIsKnown) {
    EXPECT_EQ(related::FilingLinkFailure("Wards", 3, true, related::Filing::Unanswered),
              "The link to the server failed while the 3 records of Wards were being moved. The "
              "server does it for all of them or for none, and which it did is not known.");
    EXPECT_EQ(related::FilingLinkFailure("Wards", 3, true, related::Filing::Filed),
              "The 3 records of Wards were moved, but the link to the server failed afterwards.");
}

}  // namespace
}  // namespace vorn::output
