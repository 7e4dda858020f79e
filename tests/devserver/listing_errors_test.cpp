// Listing requests the server cannot answer: each gets a clear error reply, and the server
// goes on serving the same session.
#include <gtest/gtest.h>

#include "tests/devserver/listing_fixture.h"

namespace vorn::devserver {
namespace {

using test::Entries;

class ListingErrors : public test::ListingTest {
  protected:
    void SetUp() override { StartServer(); }
    std::vector<std::string> Lister(const Entries& extra, const std::string& file = "80002") {
        Entries e{{"\"FILE\"", file}, {"\"FIELDS\"", ".01;"}, {"\"MAX\"", "5"}};
        e.insert(e.end(), extra.begin(), extra.end());
        return Call("DDR LISTER", e);
    }
    static std::vector<std::string> Error(const std::string& text) { return {"[Errors]", text}; }
};

TEST_F(ListingErrors, ScreensOutsideTheSubsetNameWhatIsNotSupported) {
    EXPECT_EQ(Lister({{"\"SCREEN\"", "W \"HELLO\""}}),
              Error("The screen uses the command W, which is not supported."));
    ExpectStillServing();
    EXPECT_EQ(Lister({{"\"SCREEN\"", "F  S X=1"}}),
              Error("The screen uses the command F, which is not supported."));
    EXPECT_EQ(Lister({{"\"SCREEN\"", "I $O(^ZDEMO(80002,Y))"}}),
              Error("The screen uses the function $O, which is not supported."));
    EXPECT_EQ(Lister({{"\"SCREEN\"", "I @X"}}),
              Error("The screen uses indirection (@), which is not supported."));
    EXPECT_EQ(Lister({{"\"SCREEN\"", "S ^ZDEMO(80002,Y,0)=\"\""}}),
              Error("The screen uses SET of a global (a screen only reads), which is not "
                    "supported."));
    EXPECT_EQ(Lister({{"\"SCREEN\"", "I $P(^(0),U,2)=\"M1"}}),
              Error("The screen has a syntax error at character 16: the string is not closed."));
    ExpectStillServing();
}

TEST_F(ListingErrors, AScreenThatWouldRunOnIsStoppedAtItsStepLimit) {
    std::string screen = "S A=\"xxxxxxxxxx\"";
    for (int i = 0; i < 6; ++i)
        screen += ",A=A_A_A_A_A_A_A_A";
    const auto reply = Lister({{"\"SCREEN\"", screen}});
    EXPECT_EQ(reply, Error("The screen needs more than 10000 steps on record 8."));
    EXPECT_EQ(Call("VRNX FINDER", {{"\"FILE\"", "80002"},
                                   {"\"FIELDS\"", ".01;"},
                                   {"\"VALUE\"", "M"},
                                   {"\"SCREEN\"", screen}}),
              Error("The screen needs more than 10000 steps on record 6."));
    ExpectStillServing();
}

TEST_F(ListingErrors, AScreenThatFailsOnARecordNamesTheRecordAndTheError) {
    EXPECT_EQ(Lister({{"\"SCREEN\"", "I ^ZDEMO(80002,Y,9)"}}),
              Error("The screen failed on record 8: <UNDEFINED> ^ZDEMO(80002,8,9)"));
    EXPECT_EQ(Lister({{"\"SCREEN\"", "I 1/(Y-5)"}}),
              Error("The screen failed on record 5: <DIVIDE>"));
    ExpectStillServing();
}

TEST_F(ListingErrors, UnknownFilesFieldsAndIndexes) {
    EXPECT_EQ(Lister({}, "99999"), Error("File 99999 does not exist."));
    EXPECT_EQ(Lister({}, ""), Error("The file number (FILE) is missing."));
    EXPECT_EQ(Call("DDR LISTER", {{"\"FILE\"", "80002"}, {"\"FIELDS\"", ".01;99;"}}),
              Error("Field 99 does not exist in file 80002."));
    EXPECT_EQ(Call("DDR LISTER", {{"\"FILE\"", "80001"}, {"\"FIELDS\"", ".01;100;"}}),
              Error("Field 100 of file 80001 is a word-processing field and cannot be listed."));
    EXPECT_EQ(Lister({{"\"XREF\"", "Z"}}), Error("Index \"Z\" does not exist in file 80002."));
    EXPECT_EQ(Call("VRNX FINDER", {{"\"FILE\"", "80002"}, {"\"VALUE\"", "M"}, {"\"XREF\"", "B^Q"}}),
              Error("Index \"Q\" does not exist in file 80002."));
    EXPECT_EQ(
        Call("VRNX LOGICAL POINTER", {{"\"FILE\"", "80006"}, {"\"XREF\"", "D"}, {"\"IEN\"", "1"}}),
        Error("Index \"D\" does not exist in file 80006."));
    ExpectStillServing();
}

TEST_F(ListingErrors, BadFlagsMaxAndRecordAddresses) {
    EXPECT_EQ(Lister({{"\"FLAGS\"", "IQ"}}), Error("The flag \"Q\" is not supported here."));
    EXPECT_EQ(Lister({{"\"FLAGS\"", "M"}}), Error("The flag \"M\" is not supported here."));
    EXPECT_EQ(Call("DDR LISTER", {{"\"FILE\"", "80002"}, {"\"MAX\"", "0"}}),
              Error("MAX must be a positive whole number or \"*\", not \"0\"."));
    EXPECT_EQ(Call("DDR LISTER", {{"\"FILE\"", "80002"}, {"\"MAX\"", "ten"}}),
              Error("MAX must be a positive whole number or \"*\", not \"ten\"."));
    EXPECT_EQ(Lister({}, "80001.03"),
              Error("File 80001.03 is a sub-file: IENS must name its parent record."));
    EXPECT_EQ(Lister({{"\"IENS\"", "999,"}}, "80001.03"),
              Error("Record 999 of file 80001 does not exist."));
    EXPECT_EQ(Lister({{"\"IENS\"", "abc"}}, "80001.03"),
              Error("IENS \"abc\" is not a record address."));
    EXPECT_EQ(Lister({{"\"IENS\"", "3,"}}, "80001.021"),
              Error("IENS \"3,\" does not name a parent record of file 80001.021."));
    EXPECT_EQ(Lister({{"\"IENS\"", "12,"}}),
              Error("File 80002 is not a sub-file: IENS must be empty, not \"12,\"."));
    ExpectStillServing();
}

TEST_F(ListingErrors, AReaderMayListButNobodyWithoutTheContext) {
    // The procedures are application procedures: a session without the context is refused.
    test::Client raw(server->Port());
    raw.SignOn("READER", "READER.1234");
    EXPECT_EQ(raw.MError("DDR LISTER"), "Application context has not been created!");
    broker.reset();
    broker = std::make_unique<TRPCBroker>();
    broker->SetServer("127.0.0.1");
    broker->SetListenerPort(server->Port());
    broker->PresetCodes = "READER;READER.1234";
    ASSERT_TRUE(broker->OpenAppContext("ZAZIRERO"));
    ExpectStillServing();
}

}  // namespace
}  // namespace vorn::devserver
