// The finder's request and the reading of its reply, without a server.
#include "lookup/internal/finder_request.h"

#include <gtest/gtest.h>

#include <string>

#include "lookup/vorn_finder.h"

namespace vorn {
namespace {

// The call as sent: its name, its list parameter, then its entries "subscript=value" in order.
std::string Sent(const finder::Query& query) {
    const RpcRequest request = finder::Request(query);
    QStringList sent = {request.Procedure(), request.Parameters().value(0).value};
    for (const auto& [subscript, value] : request.Parameters().value(0).entries)
        sent.append(subscript + u'=' + value);
    return sent.join(u' ').toStdString();
}

TEST(FinderRequest, SendsItsEntriesInOrder) {
    finder::Query person;
    person.file = "80000";
    person.fields = {".01"};
    person.number = "20";
    person.fmIndex = "B";
    // Each call as sent up to its first entry, the file.
    const std::string lister = "DDR LISTER .DDR \"FILE\"=80000 ";
    const std::string lookup = "VRNX FINDER .DDR \"FILE\"=80000 ";
    // The lister on protocol version 0 sends no flags; on version 1 it is packed, its own flags
    // before the packing.
    EXPECT_EQ(Sent(person), lister + "\"FIELDS\"=.01; \"MAX\"=20 \"XREF\"=B");
    finder::Query q = person;
    q.rpcVersion = "1";
    EXPECT_EQ(Sent(q), lister + "\"FIELDS\"=.01; \"FLAGS\"=P \"MAX\"=20 \"XREF\"=B");
    q.listerFlags = lfInternal | lfBackwards;
    EXPECT_EQ(Sent(q), lister + "\"FIELDS\"=.01; \"FLAGS\"=IBP \"MAX\"=20 \"XREF\"=B");
    // A lookup is never packed.
    q = person;
    q.rpcVersion = "1";
    q.lookup = true;
    q.partList = {"VIR"};
    q.fields = {".01", "2"};
    EXPECT_EQ(Sent(q),
              lookup + "\"FIELDS\"=.01;2; \"MAX\"=20 \"PART\"=VIR \"VALUE\"=VIR \"XREF\"=B");
    // The finder flags replace the lister flags of a lookup.
    q = person;
    q.lookup = true;
    q.partList = {"VIR"};
    q.listerFlags = lfInternal;
    q.finderFlags = "M";
    EXPECT_EQ(Sent(q), lookup +
                           "\"FIELDS\"=.01; \"FLAGS\"=M \"MAX\"=20 \"PART\"=VIR "
                           "\"VALUE\"=VIR \"XREF\"=B");
    // An empty lookup line walks the index, yet sends its part and value.
    q.partList = {QString()};
    q.listerFlags = {};
    EXPECT_EQ(Sent(q), lister + "\"FIELDS\"=.01; \"MAX\"=20 \"PART\"= \"VALUE\"= \"XREF\"=B");
    // The lister walks only the first of two indexes, a lookup searches both; no index is B.
    q = person;
    q.fmIndex = "B^C";
    EXPECT_EQ(Sent(q), lister + "\"FIELDS\"=.01; \"MAX\"=20 \"XREF\"=B");
    q.lookup = true;
    q.partList = {"VIR"};
    EXPECT_EQ(Sent(q),
              lookup + "\"FIELDS\"=.01; \"MAX\"=20 \"PART\"=VIR \"VALUE\"=VIR \"XREF\"=B^C");
    q = person;
    q.fmIndex.clear();
    EXPECT_EQ(Sent(q), lister + "\"FIELDS\"=.01; \"MAX\"=20 \"XREF\"=B");
    // Every optional entry in its place.
    q = person;
    q.fields = {".001", ".01"};
    q.identifier = "W";
    q.iens = "5,";
    q.screen = "I Y'=5";
    q.fromLines = {"SALO,RIITTA", "X"};
    q.fromIen = "21";
    q.ddFile = "80001";
    q.ddField = "7";
    EXPECT_EQ(Sent(q), lister +
                           "\"FIELDS\"=.001;.01; \"ID\"=W \"IENS\"=5, \"MAX\"=20 \"SCREEN\"=I Y'=5 "
                           "\"XREF\"=B \"FROM\"=SALO,RIITTA \"FROM\",\"IEN\"=21 \"DDFILE\"=80001 "
                           "\"DDFIELD\"=7");
}

TEST(FinderReply, ReadsTheDataTheContinuationAndTheErrorsAndShowsALineWithFourBlanks) {
    finder::Reply r = finder::ReadReply(
        RpcReply("[Misc]\r\nMORE^LAINE,LIISA^7\r\n[Data]\r\n1^VIRTANEN,AINO\r\n2^KORHONEN,EINO"));
    EXPECT_EQ(r.data, (QStringList{"1^VIRTANEN,AINO", "2^KORHONEN,EINO"}));
    EXPECT_TRUE(r.more);
    EXPECT_EQ(r.fromList, QStringList{"LAINE,LIISA"});
    EXPECT_EQ(r.fromIen, "7");
    EXPECT_TRUE(r.errors.isEmpty());
    // Without a miscellaneous section there is no more.
    r = finder::ReadReply(RpcReply("[Data]\r\n30^AHONEN,KARI"));
    EXPECT_EQ(r.data, QStringList{"30^AHONEN,KARI"});
    EXPECT_FALSE(r.more);
    EXPECT_TRUE(r.fromList.isEmpty());
    EXPECT_EQ(r.fromIen, "");
    // The end of the data, and the errors.
    r = finder::ReadReply(
        RpcReply("[BEGIN_diDATA]\r\n1^A\r\n[END_diDATA]\r\nstray\r\n[Errors]\r\nBad XREF"));
    EXPECT_EQ(r.data, QStringList{"1^A"});
    EXPECT_FALSE(r.more);
    EXPECT_EQ(r.errors, QStringList{"Bad XREF"});
    // A line shown: the fields joined with four blanks.
    TvornFinder finder;
    finder.FieldList = {".01", "2"};
    EXPECT_EQ(finder.DisplayLine("7^LAINE,LIISA^DEC 24, 1974"), "LAINE,LIISA    DEC 24, 1974");
    // The record number column shows the number; the other columns keep their pieces.
    finder.FieldList = {".01", ".001", "2"};
    EXPECT_EQ(finder.DisplayLine("7^LAINE,LIISA^7^DEC 24, 1974"),
              "LAINE,LIISA    7    DEC 24, 1974");
}

}  // namespace
}  // namespace vorn
