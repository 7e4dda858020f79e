#include "broker/rpc_params.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

QStringList Walk(const TMult& mult, int direction) {
    QStringList seen;
    for (QString s = mult.Step(QString(), direction); !s.isEmpty(); s = mult.Step(s, direction))
        seen << s;
    return seen;
}

TEST(TParams, ReadingAnIndexCreatesItAndTheSlotsBeforeIt) {
    TParams params;
    params[2].Value = "x";
    EXPECT_EQ(params.Count(), 3);
    EXPECT_EQ(params.At(0), nullptr);
    EXPECT_EQ(params.At(1), nullptr);
    EXPECT_EQ(params[1].ParamKind, TParamType::undefined);
    EXPECT_EQ(params.Count(), 3);
}

TEST(TParams, ClearLeavesACountOfZero) {
    TParams params;
    params[0].ParamKind = TParamType::list;
    params[0].Mult["A"] = "1";
    params.Clear();
    EXPECT_EQ(params.Count(), 0);
}

TEST(TParams, AssignCopiesValuesKindsAndLists) {
    TParams source;
    source[0].Value = "lit";
    source[0].ParamKind = TParamType::literal;
    source[2].ParamKind = TParamType::list;
    source[2].Mult["B"] = "2";
    source[2].Mult["A"] = "1";
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

TEST(TMult, KeepsInsertionOrderAndMatchesSubscriptsWithoutCase) {
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
}

TEST(TMult, StepStopsAtBothEndsAndOnUnknownSubscripts) {
    TMult mult;
    EXPECT_EQ(mult.Step("", 1), "");
    EXPECT_EQ(mult.FirstSubscript(), "");
    EXPECT_EQ(mult.LastSubscript(), "");
    mult["first"] = "";
    mult["last"] = "";
    EXPECT_EQ(mult.Step("", 1), "first");
    EXPECT_EQ(mult.Step("", 0), "last");
    EXPECT_EQ(mult.Step("", -1), "last");
    EXPECT_EQ(mult.Step("last", 1), "");
    EXPECT_EQ(mult.Step("first", -1), "");
    EXPECT_EQ(mult.Step("first", 0), "");
    EXPECT_EQ(mult.Step("nowhere", 1), "");
}

TEST(TMult, AssignFromLinesNumbersThemFromZero) {
    TMult mult;
    mult["old"] = "x";
    mult.Assign(QStringList{"a", "b", "c"});
    EXPECT_EQ(Walk(mult, 1), (QStringList{"0", "1", "2"}));
    EXPECT_EQ(mult.Item("2"), "c");
}

TEST(TMultError, AStandaloneListIsNamedByItself) {
    TMult named;
    named.setObjectName("Fields");
    try {
        named.Item("X");
        FAIL();
    } catch (const EMultUndefined& e) {
        EXPECT_EQ(e.Message(), "Fields[X]\r\nis undefined");
    }
    TMult anonymous;
    try {
        anonymous.Item("Y");
        FAIL();
    } catch (const EMultUndefined& e) {
        EXPECT_EQ(e.Message(), "TMult_instance[Y]\r\nis undefined");
    }
}

TEST(TMultError, AListOutsideABrokerIsNamedMult) {
    TParams params;
    try {
        params[2].Mult.Item("X");
        FAIL();
    } catch (const EMultUndefined& e) {
        EXPECT_EQ(e.Message(), "Mult[X]\r\nis undefined");
    }
    EXPECT_EQ(params[2].Mult.Count(), 0);
}

}  // namespace
}  // namespace vorn
