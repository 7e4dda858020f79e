#include "broker/wire_protocol.h"

#include <gtest/gtest.h>

#include <cctype>

#include "broker/broker_error.h"
#include "broker/rpc_params.h"

namespace vorn {
namespace {

std::string Framed(const QByteArray& message) {
    return "{XWB}" + message.toStdString();
}

TEST(ComposeCall, NoParameters) {
    EXPECT_EQ(Framed(ComposeCall("XUS SIGNON SETUP", "0", nullptr)),
              std::string("{XWB}00046|\x01"
                          "0"
                          "00038007XWB;;;;000230XUS SIGNON SETUP^00000"));
    TParams empty;
    EXPECT_EQ(ComposeCall("XUS SIGNON SETUP", "0", &empty),
              ComposeCall("XUS SIGNON SETUP", "0", nullptr));
}

TEST(ComposeCall, OneLiteral) {
    TParams params;
    params[0].Value = "abc";
    params[0].ParamKind = TParamType::literal;
    EXPECT_EQ(Framed(ComposeCall("XUS AV CODE", "0", &params)),
              std::string("{XWB}00048|\x01"
                          "0"
                          "00040007XWB;;;;000250XUS AV CODE^000070040abc"));
}

TEST(ComposeCall, OneListWithAnEmptyValue) {
    TParams params;
    params[0].ParamKind = TParamType::list;
    params[0].Mult["1"] = "200";
    params[0].Mult["2"] = "";
    EXPECT_EQ(Framed(ComposeCall("DDR LISTER", "0", &params)),
              std::string("{XWB}00067|\x01"
                          "0"
                          "00038007XWB;;;;000231DDR LISTER^000060032.x"
                          "0011003200"
                          "0012001\x01"
                          "000"));
    // Sending changed the caller's list the way the server expects it.
    EXPECT_EQ(params[0].Value, ".x");
    EXPECT_EQ(params[0].Mult.Item("2"), QString(QChar(1)));
    EXPECT_EQ(params[0].Mult.Item("1"), "200");
}

TEST(ComposeHandshake, AnnouncesAddressPortAndHost) {
    EXPECT_EQ("{XWB}" + ComposeHandshake("10.0.0.5", 1234, "WS1").toStdString(),
              std::string("{XWB}00041|\x05"
                          "1.10400029TCPconnect^10.0.0.5^1234^WS1^"));
}

TEST(ComposeGoodbye, IsTheByeMessage) {
    EXPECT_EQ("{XWB}" + ComposeGoodbye().toStdString(), "{XWB}0001000005#BYE#");
}

// The parameter text P inside the message, for the cases that differ only there.
std::string ParamText(TParams& params, const char* name = "X") {
    const std::string m = ComposeCall(name, "0", &params).toStdString();
    const auto caret = m.find('^');
    return m.substr(caret + 6);  // after "^" and the five-digit count of P
}

TEST(ComposeCall, AGapInTheListSendsOnlyTheParametersThatWereSet) {
    TParams params;
    params[0].Value = "first";
    params[0].ParamKind = TParamType::literal;
    params[2].Value = "third";
    params[2].ParamKind = TParamType::reference;
    EXPECT_EQ(ParamText(params), "0060first0061third");
}

TEST(ComposeCall, EmptyValuesAndVersion) {
    TParams params;
    params[0].ParamKind = TParamType::literal;
    EXPECT_EQ(ParamText(params), "0010");
    const std::string m = ComposeCall("X", "", nullptr).toStdString();
    EXPECT_EQ(m.substr(5, 3), std::string("|\x01"
                                          "0"));
}

TEST(ComposeCall, AnEmptyListContributesItsMarkerAndTheEndEntry) {
    TParams params;
    params[0].ParamKind = TParamType::list;
    const std::string m = ComposeCall("X", "0", &params).toStdString();
    EXPECT_EQ(m, std::string("00040|\x01"
                             "0"
                             "00029007XWB;;;;000141X^000060032.x000"));
}

TEST(ComposeCall, ListsFollowInParameterOrderAfterTheCallBlock) {
    TParams params;
    params[0].Value = "EDIT";
    params[0].ParamKind = TParamType::literal;
    params[1].ParamKind = TParamType::list;
    params[1].Mult["A"] = "x";
    params[2].ParamKind = TParamType::list;
    params[2].Mult["B"] = "y";
    const std::string m = ComposeCall("DDR FILER", "0", &params).toStdString();
    EXPECT_NE(m.find("DDR FILER^000200050EDIT0032.x0032.x001A001x000001B001y000"),
              std::string::npos);
}

struct Refused {
    const char* what;
    std::function<void(TParams&)> fill;
    QString name;
    QString version;
    int code;
};

void PrintTo(const Refused& r, std::ostream* os) {
    *os << r.what;
}

class RefusedCalls : public ::testing::TestWithParam<Refused> {};

std::string RefusedName(const ::testing::TestParamInfo<Refused>& info) {
    std::string name;
    for (const char* c = info.param.what; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

TEST_P(RefusedCalls, RaiseBeforeAnythingIsSentAndLeaveTheListAlone) {
    TParams params;
    GetParam().fill(params);
    TParams before;
    before.Assign(params);
    try {
        ComposeCall(GetParam().name, GetParam().version, &params);
        FAIL() << GetParam().what;
    } catch (const EBrokerError& e) {
        EXPECT_EQ(e.ErrorCode(), GetParam().code) << GetParam().what;
        EXPECT_TRUE(e.FailedStep().startsWith("ComposeCall: ")) << e.FailedStep().toStdString();
    }
    for (int i = 0; i < params.Count(); ++i) {
        EXPECT_EQ(params[i].Value, before[i].Value);
        for (int e = 0; e < params[i].Mult.Count(); ++e)
            EXPECT_EQ(params[i].Mult.ValueAt(e), before[i].Mult.ValueAt(e));
    }
}

void Literal(TParams& p, int i, const QString& v) {
    p[i].Value = v;
    p[i].ParamKind = TParamType::literal;
}
void ListEntry(TParams& p, int i, const QString& sub, const QString& v) {
    p[i].ParamKind = TParamType::list;
    p[i].Mult[sub] = v;
}

INSTANTIATE_TEST_SUITE_P(
    Oversized, RefusedCalls,
    ::testing::Values(
        Refused{"literal of 999 bytes", [](TParams& p) { Literal(p, 0, QString(999, 'a')); }, "X",
                "0", 10040},
        Refused{"list value of 1000 bytes",
                [](TParams& p) {
                    ListEntry(p, 0, "Z", "");
                    ListEntry(p, 0, "A", QString(1000, 'a'));
                },
                "X", "0", 10040},
        Refused{"subscript of 1000 bytes",
                [](TParams& p) { ListEntry(p, 0, QString(1000, 's'), "v"); }, "X", "0", 10040},
        Refused{"version of 256 bytes", [](TParams&) {}, "X", QString(256, '1'), 10040},
        Refused{"parameter text over 99999 bytes",
                [](TParams& p) {
                    for (int i = 0; i < 110; ++i)
                        Literal(p, i, QString(990, 'p'));
                },
                "X", "0", 10040},
        Refused{"list value of 1000 bytes in a long message",
                [](TParams& p) {
                    for (int i = 0; i < 110; ++i)
                        ListEntry(p, 0, QString::number(i), QString(990, 'v'));
                    ListEntry(p, 0, "last", QString(1000, 'v'));
                },
                "X", "0", 10040}),
    RefusedName);

INSTANTIATE_TEST_SUITE_P(
    Unsendable, RefusedCalls,
    ::testing::Values(
        Refused{"NUL in a literal",
                [](TParams& p) { Literal(p, 0, QString("a") + QChar(0) + "b"); }, "X", "0", 10022},
        Refused{"NUL in a list value", [](TParams& p) { ListEntry(p, 0, "A", QString(QChar(0))); },
                "X", "0", 10022},
        Refused{"NUL in the name", [](TParams&) {}, QString("X") + QChar(0), "0", 10022},
        Refused{"character beyond one byte",
                [](TParams& p) { Literal(p, 0, QString::fromUtf8("\u20ac")); }, "X", "0", 10022},
        Refused{"empty subscript", [](TParams& p) { ListEntry(p, 0, "", "v"); }, "X", "0", 10022}),
    RefusedName);

TEST(ComposeCall, TheLargestFieldsStillFit) {
    TParams params;
    Literal(params, 0, QString(998, 'a'));
    ListEntry(params, 1, QString(999, 's'), QString(999, 'v'));
    EXPECT_NO_THROW(ComposeCall("X", QString(255, '1'), &params));
}

// The whole message is counted by the last five digits of its length; the server reads such a
// message by its structure.
TEST(ComposeCall, AMessageOverNinetyNineThousandNineHundredNinetyNineBytesCarriesItsWrappedCount) {
    TParams params;
    for (int i = 0; i < 150; ++i)
        ListEntry(params, 0, QString::number(i + 1), QString(990, 'v'));
    const QByteArray message = ComposeCall("DDR FILER", "0", &params);
    const qsizetype rest = message.size() - 5;
    ASSERT_GT(rest, 99999);
    EXPECT_EQ(message.left(5).toStdString(), QString::number(rest).right(5).toStdString());
    EXPECT_EQ(params[0].Value, ".x");
}

}  // namespace
}  // namespace vorn
