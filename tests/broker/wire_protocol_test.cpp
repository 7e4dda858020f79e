// The parameter list of a call and the bytes the call goes out as.
#include "broker/internal/wire_protocol.h"

#include <gtest/gtest.h>

#include "broker/rpc_broker.h"
#include "broker/rpc_params.h"
#include "tests/broker/raised.h"

namespace vorn {
namespace {

QStringList Walk(const TMult& mult, int direction) {
    QStringList seen;
    for (QString s = mult.Step(QString(), direction); !s.isEmpty(); s = mult.Step(s, direction))
        seen << s;
    return seen;
}

// The message of the error raised for a subscript that was never stored.
QString Undefined(const TMult& mult, const QString& subscript) {
    try {
        mult.Item(subscript);
    } catch (const EMultUndefined& e) {
        return e.Message();
    }
    return "no error";
}

void Literal(TParams& p, int i, const QString& v, TParamType kind = TParamType::literal) {
    p[i].Value = v;
    p[i].ParamKind = kind;
}
void ListEntry(TParams& p, int i, const QString& sub, const QString& v) {
    p[i].ParamKind = TParamType::list;
    p[i].Mult[sub] = v;
}

TEST(TParams, ReadingAnIndexCreatesItAndTheSlotsBeforeItAndAssignCopiesValuesKindsAndLists) {
    TParams params;
    params[2].Value = "x";
    EXPECT_EQ(params.Count(), 3);
    EXPECT_EQ(params.At(0), nullptr);
    EXPECT_EQ(params.At(1), nullptr);
    EXPECT_EQ(params[1].ParamKind, TParamType::undefined);
    EXPECT_EQ(params.Count(), 3);
    params[2].Mult["A"] = "1";
    params.Clear();
    EXPECT_EQ(params.Count(), 0);
    // Assign copies values, kinds and lists.
    TParams source;
    Literal(source, 0, "lit");
    ListEntry(source, 2, "B", "2");
    ListEntry(source, 2, "A", "1");
    TParams copy;
    copy[5].Value = "gone";
    copy.Assign(source);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy[0].Value, "lit");
    EXPECT_EQ(copy[0].ParamKind, TParamType::literal);
    EXPECT_EQ(copy[1].ParamKind, TParamType::undefined);
    EXPECT_EQ(Walk(copy[2].Mult, 1), (QStringList{"B", "A"}));
    source[2].Mult["A"] = "changed";
    EXPECT_EQ(copy[2].Mult.Item("A"), "1");
}

TEST(TMult, KeepsInsertionOrderMatchesSubscriptsWithoutCaseStepsWithinItsEndsAndNamesItsOwners) {
    TMult mult;
    mult["K"] = "1";
    mult["A"] = "2";
    mult["M"] = "3";
    mult["k"] = "4";
    EXPECT_EQ(mult.Count(), 3);
    EXPECT_EQ(Walk(mult, 1), (QStringList{"K", "A", "M"}));
    EXPECT_EQ(Walk(mult, -1), (QStringList{"M", "A", "K"}));
    EXPECT_EQ(mult.Item("K"), "4");
    EXPECT_EQ(mult.Item("k"), "4");
    EXPECT_EQ(mult.IndexOfSubscript("m"), 2);
    EXPECT_EQ(mult.IndexOfSubscript("Z"), -1);
    // Assigning lines replaces the entries, numbered from zero.
    mult.Assign(QStringList{"a", "b", "c"});
    EXPECT_EQ(Walk(mult, 1), (QStringList{"0", "1", "2"}));
    EXPECT_EQ(mult.Item("2"), "c");
    // Stepping stops at both ends and on unknown subscripts.
    TMult ends;
    EXPECT_EQ(ends.Step("", 1), "");
    EXPECT_EQ(ends.FirstSubscript(), "");
    EXPECT_EQ(ends.LastSubscript(), "");
    ends["first"] = "";
    ends["last"] = "";
    EXPECT_EQ(ends.Step("", 1), "first");
    EXPECT_EQ(ends.Step("", 0), "last");
    EXPECT_EQ(ends.Step("", -1), "last");
    EXPECT_EQ(ends.Step("last", 1), "");
    EXPECT_EQ(ends.Step("first", -1), "");
    EXPECT_EQ(ends.Step("first", 0), "");
    EXPECT_EQ(ends.Step("nowhere", 1), "");
    // The error for a subscript never stored names the list by its owners and changes nothing.
    TMult named;
    named.setObjectName("Fields");
    EXPECT_EQ(Undefined(named, "X"), "Fields[X]\r\nis undefined");
    EXPECT_EQ(Undefined(TMult(), "Y"), "TMult_instance[Y]\r\nis undefined");
    TParams params;
    EXPECT_EQ(Undefined(params[2].Mult, "X"), "Mult[X]\r\nis undefined");
    EXPECT_EQ(params[2].Mult.Count(), 0);
    TRPCBroker broker;
    broker.setObjectName("RPCBroker1");
    EXPECT_EQ(Undefined(broker.Param[2].Mult, "X"), "RPCBroker1.Param[2].Mult[X]\r\nis undefined");
    EXPECT_EQ(Undefined(TRPCBroker().Param[0].Mult, "Y"),
              "TRPCBroker_instance.Param[0].Mult[Y]\r\nis undefined");
}

// "|\0010" is the version "0" behind its count byte; an empty list value goes as the byte 1.
TEST(ComposeCall, SendsExactlyTheseBytes) {
    const struct {
        const char* what;
        QString name;
        std::function<void(TParams&)> fill;
        std::string message;  // without "{XWB}"
        QString version = "0";
    } cases[] = {{"no parameters", "XUS SIGNON SETUP", [](TParams&) {},
                  "00046|\001000038007XWB;;;;000230XUS SIGNON SETUP^00000"},
                 {"one literal", "XUS AV CODE", [](TParams& p) { Literal(p, 0, "abc"); },
                  "00048|\001000040007XWB;;;;000250XUS AV CODE^000070040abc"},
                 {"one list with an empty value", "DDR LISTER",
                  [](TParams& p) {
                      ListEntry(p, 0, "1", "200");
                      ListEntry(p, 0, "2", "");
                  },
                  "00067|\0010"
                  "00038007XWB;;;;000231DDR LISTER^000060032.x"
                  "00110032000012001\001000"},
                 // The untouched parameter 1 is sent as nothing at all.
                 {"a gap in the list", "X",
                  [](TParams& p) {
                      Literal(p, 0, "first");
                      Literal(p, 2, "third", TParamType::reference);
                  },
                  "00049|\001000041007XWB;;;;000260X^000180060first0061third"},
                 {"empty literal and empty version", "X", [](TParams& p) { Literal(p, 0, ""); },
                  "00035|\001000027007XWB;;;;000120X^000040010", ""},
                 {"empty list", "X", [](TParams& p) { p[0].ParamKind = TParamType::list; },
                  "00040|\001000029007XWB;;;;000141X^000060032.x000"},
                 {"lists after the call block in parameter order", "DDR FILER",
                  [](TParams& p) {
                      Literal(p, 0, "EDIT");
                      ListEntry(p, 1, "A", "x");
                      ListEntry(p, 2, "B", "y");
                  },
                  "00081|\0010"
                  "00051007XWB;;;;000361DDR FILER^000200050EDIT0032.x0032.x"
                  "001A001x000001B001y000"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TParams params;
        c.fill(params);
        EXPECT_EQ(ComposeCall(c.name, c.version, &params).toStdString(), c.message);
        if (params.Count() == 0) {
            EXPECT_EQ(ComposeCall(c.name, c.version, nullptr).toStdString(), c.message);
        }
    }
}

TEST(ComposeHandshake, AnnouncesAddressPortAndHost) {
    EXPECT_EQ("{XWB}" + ComposeHandshake("10.0.0.5", 1234, "WS1").toStdString(),
              std::string("{XWB}00041|\0051.10400029TCPconnect^10.0.0.5^1234^WS1^"));
}

// Oversized fields raise 10040, unsendable characters 10022.
TEST(ComposeCall, RefusedCallsRaiseBeforeAnythingIsSentAndLeaveTheListAlone) {
    const struct {
        const char* what;
        int code;
        std::function<void(TParams&)> fill;
        QString name = "X";
        QString version = "0";
    } cases[] = {
        {"literal of 999 bytes", 10040, [](TParams& p) { Literal(p, 0, QString(999, 'a')); }},
        {"list value of 1000 bytes", 10040,
         [](TParams& p) {
             ListEntry(p, 0, "Z", "");
             ListEntry(p, 0, "A", QString(1000, 'a'));
         }},
        {"subscript of 1000 bytes", 10040,
         [](TParams& p) { ListEntry(p, 0, QString(1000, 's'), "v"); }},
        {"version of 256 bytes", 10040, [](TParams&) {}, "X", QString(256, '1')},
        {"parameter text over 99999 bytes", 10040,
         [](TParams& p) {
             for (int i = 0; i < 110; ++i)
                 Literal(p, i, QString(990, 'p'));
         }},
        {"list value of 1000 bytes in a long message", 10040,
         [](TParams& p) {
             for (int i = 0; i < 110; ++i)
                 ListEntry(p, 0, QString::number(i), QString(990, 'v'));
             ListEntry(p, 0, "last", QString(1000, 'v'));
         }},
        {"NUL in a literal", 10022,
         [](TParams& p) { Literal(p, 0, QString("a") + QChar(0) + "b"); }},
        {"NUL in a list value", 10022, [](TParams& p) { ListEntry(p, 0, "A", QString(QChar(0))); }},
        {"NUL in the name", 10022, [](TParams&) {}, QString("X") + QChar(0)},
        {"character beyond one byte", 10022,
         [](TParams& p) { Literal(p, 0, QString::fromUtf8("\u20ac")); }},
        {"empty subscript", 10022, [](TParams& p) { ListEntry(p, 0, "", "v"); }}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TParams params;
        c.fill(params);
        TParams before;
        before.Assign(params);
        const EBrokerError e = test::Raised([&] { ComposeCall(c.name, c.version, &params); });
        EXPECT_EQ(e.ErrorCode(), c.code);
        EXPECT_TRUE(e.FailedStep().startsWith("ComposeCall: ")) << e.FailedStep().toStdString();
        for (int i = 0; i < params.Count(); ++i) {
            EXPECT_EQ(params[i].Value, before[i].Value);
            for (int n = 0; n < params[i].Mult.Count(); ++n)
                EXPECT_EQ(params[i].Mult.ValueAt(n), before[i].Mult.ValueAt(n));
        }
    }
}

TEST(ComposeCall, TheLargestFieldsStillFitAndALongerMessageCarriesItsWrappedCount) {
    TParams params;
    Literal(params, 0, QString(998, 'a'));
    ListEntry(params, 1, QString(999, 's'), QString(999, 'v'));
    EXPECT_NO_THROW(ComposeCall("X", QString(255, '1'), &params));
    // A message over 99999 bytes is counted by the last five digits of its length; the server
    // reads such a message by its structure.
    params.Clear();
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
