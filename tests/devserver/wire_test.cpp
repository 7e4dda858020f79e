// Reading messages and framing replies, against the bytes the real client composes.
#include "broker/internal/wire_protocol.h"
#include "devserver/m/m_subscripts.h"
#include "devserver/net/call_parser.h"
#include "devserver/net/reply.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::devserver {
namespace {

using test::CallBytes;

Message Parse(const std::string& bytes) {
    MemorySource source(bytes);
    Message m = ReadMessage(source);
    EXPECT_EQ(source.Remaining(), 0u);
    return m;
}

std::string Malformed(const std::string& bytes) {
    MemorySource source(bytes);
    try {
        ReadMessage(source);
    } catch (const MalformedMessage& e) {
        return e.what();
    } catch (const SourceEnded& e) {
        return std::string("ended: ") + e.what();
    }
    return "parsed";
}

TEST(CallParser, ReadsWhatTheClientComposesEvenLongerThanItsFiveDigitCountCanSay) {
    const std::vector<test::SentParam> params = {
        {TParamType::literal, "ADD"},
        {TParamType::list,
         {},
         {{"\"FILE\"", "80001"}, {"\"FROM\",\"IEN\"", "12"}, {"3,1", "x"}, {"IENS", ""}}},
        {TParamType::reference, "DUZ"},
        {TParamType::list}};
    const Message m = Parse("{XWB}" + test::ComposedCall("DDR FILER", params).toStdString());
    ASSERT_EQ(m.call.params.size(), 4u);
    EXPECT_EQ(m.call.Literal(0), "ADD");
    const Param& list = m.call.params[1];
    EXPECT_EQ(list.Get("FILE"), "80001");
    EXPECT_EQ(list.Get(Subscripts{"FROM", "IEN"}), "12");
    EXPECT_EQ(list.Get(Subscripts{"3", "1"}), "x");
    EXPECT_TRUE(list.Has("IENS"));
    EXPECT_EQ(list.Get("IENS"), "");  // sent as the byte 1
    EXPECT_EQ(list.entries[0].rawSubscript, "\"FILE\"");
    EXPECT_EQ(m.call.params[2].type, ParamType::Reference);
    EXPECT_EQ(m.call.params[2].value, "DUZ");
    EXPECT_TRUE(m.call.params[3].entries.empty());
    const Message none =
        Parse("{XWB}" + ComposeCall("XUS SIGNON SETUP", "0", nullptr).toStdString());
    EXPECT_EQ(none.kind, Message::Kind::Call);
    EXPECT_EQ(none.call.name, "XUS SIGNON SETUP");
    EXPECT_EQ(none.call.version, "0");
    EXPECT_TRUE(none.call.params.empty());
    const Message hs = Parse("{XWB}" + ComposeHandshake("10.0.0.5", 1234, "WS1").toStdString());
    EXPECT_EQ(hs.kind, Message::Kind::Handshake);
    EXPECT_EQ(hs.handshake.version, "1.104");
    EXPECT_EQ(hs.handshake.address, "10.0.0.5");
    EXPECT_EQ(hs.handshake.port, 1234);
    EXPECT_EQ(hs.handshake.host, "WS1");
    EXPECT_EQ(Parse("{XWB}" + ComposeGoodbye().toStdString()).kind, Message::Kind::Goodbye);
    // 120 entries of 999-byte values: the count carries the last five digits of the length.
    std::string entries;
    for (int i = 0; i < 120; ++i)
        entries += "003" + std::to_string(100 + i) + "999" + std::string(999, 'v');
    const std::string bytes = CallBytes("DDR FILER", "0032.x", entries + "000", true);
    EXPECT_LT(std::stoul(bytes.substr(5, 5)), bytes.size() - 10);
    EXPECT_EQ(Parse(bytes).call.params[0].entries.size(), 120u);
}

TEST(CallParser, RefusesWhatIsNoMessage) {
    const std::string bar = "|\x01";  // apart: in a literal "\x01" takes the digits after it
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"GET / HTTP/1.0", "a message that does not begin with {XWB}"},
        {"{XWB}00a46", "a count that is not 5 decimal digits"},
        {"{XWB}00047" + bar + "000038007XWB;;;;000230XUS SIGNON SETUP^00000X",
         "a message whose count (47) is not its length (46)"},
        {CallBytes("XUS AV CODE", "0049abc", "", false), "unknown parameter type \"9\""},
        {CallBytes("XUS AV CODE", "0x40abc", "", false), "a count that is not 3 decimal digits"},
        {CallBytes("XUS AV CODE", "00504", "", false),
         "a parameter longer than the parameter text"},
        // the list's entries never come
        {"{XWB}00041" + bar + "000033007XWB;;;;000181X^000060032.x",
         "ended: the message ended early"},
        {CallBytes("X", "0032.x", "000", false), "a list flag that does not match the parameters"},
        {"{XWB}0001000006#BYE#!", "a message that is neither a call nor the goodbye"},
        {"{XWB}00041|\x05" + std::string("1.10400029TCPconnect^10.0.0.5^99999^WS1^"),
         "a handshake whose call-back port is not a port number"},
        {"{XWB}00046" + bar + "000038007XWB;;;;0002", "ended: the message ended early"}};
    for (const auto& [bytes, error] : cases)
        EXPECT_EQ(Malformed(bytes), error) << bytes;
}

TEST(Subscripts, ParseAsMWritesThem) {
    const std::vector<std::pair<std::string, Subscripts>> cases = {
        {"\"FILE\"", {"FILE"}}, {"FILE", {"FILE"}},
        {"1", {"1"}},           {"01", {"1"}},
        {"\"01\"", {"01"}},     {"\"FROM\",\"IEN\"", {"FROM", "IEN"}},
        {"3,1", {"3", "1"}},    {"\"a\"\"b\",-2.50", {"a\"b", "-2.5"}},
        {"\"open", {"\"open"}}, {"a,", {"a,"}},
        {"\"x\"y", {"\"x\"y"}}};
    for (const auto& [text, subscripts] : cases)
        EXPECT_EQ(ParseSubscriptText(text), subscripts) << text;
}

TEST(ReplyFrame, LinesValuesAndMErrors) {
    const std::string head(2, '\0');
    EXPECT_EQ(Reply::Lines({"a", "", "b"}).Frame(), head + "a\r\n\r\nb\r\n\x04");
    EXPECT_EQ(Reply::Value("1").Frame(), head + "1\x04");
    EXPECT_EQ(Reply::MError("You are not signed on.").Frame(),
              head + "\x18You are not signed on.\x04");
    EXPECT_EQ(Reply::Lines({}).Frame(), head + "\x04");
    EXPECT_EQ(Reply::Value("a\4b").Data(), "a b");  // the end of a reply cannot be in a value
}

}  // namespace
}  // namespace vorn::devserver
