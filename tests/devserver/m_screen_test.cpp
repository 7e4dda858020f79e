// The screen evaluator on globals in memory: operators strictly left to right, numbers as M
// reads them, patterns, naked references, the functions' edge cases, the subset's limits.
#include "devserver/m/m_screen.h"

#include <gtest/gtest.h>

#include "devserver/m/m_screen_number.h"
#include "devserver/m/m_screen_pattern.h"
#include "tests/devserver/memory_globals.h"

namespace vorn::devserver {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

class Screen : public ::testing::Test {
  protected:
    Screen() {
        env.globals = &globals;
        env.dt = "3261206";
        env.duz = "1";
        test::SetScreenTestGlobals(globals);
    }
    bool Passes(const std::string& code, const std::string& ien = "7") {
        return MScreen(code).Passes(env, ien, GlobalRef{"TEST", {ien}});
    }
    // Each expression evaluates to exactly its text, compared inside the screen.
    void ExpectValues(const Pairs& cases) {
        for (const auto& [expression, expected] : cases) {
            std::string quoted = "\"";
            for (char c : expected)
                quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            EXPECT_TRUE(Passes("S R=" + expression + " I R=" + quoted + "\""))
                << expression << " should be " << expected;
        }
    }
    void ExpectPass(const std::vector<std::string>& codes, bool passes = true) {
        for (const std::string& code : codes)
            EXPECT_EQ(Passes(code), passes) << code;
    }
    std::string RunError(const std::string& code) {
        try {
            Passes(code);
        } catch (const ScreenRunError& e) {
            return e.what();
        }
        return "no error";
    }
    std::string CodeError(const std::string& code) {
        try {
            MScreen screen(code);
        } catch (const ScreenCodeError& e) {
            return std::string(e.unsupported() ? "unsupported: " : "syntax: ") + e.what();
        }
        return "accepted";
    }

    test::MemoryGlobals globals;
    ScreenEnvironment env;
};

// The cases are tables, several to a line.
// clang-format off
TEST_F(Screen, NumbersOperatorsArithmeticAndComparisonsFollowM) {
    ExpectValues({{"2+3*4", "20"}, {"2*3+4", "10"}, {"10-2-3", "5"}, {"2+(3*4)", "14"}, {"1+2_3", "33"},
                  {"-1+2", "1"}, {"'0&1", "1"}, {"'(0&1)", "1"},
                  {"5>3>0", "1"}, {"3<2=0", "1"}, {"1!0&0", "0"},  // (5>3)>0, (3<2)=0, (1!0)&0
                  {"\"A\"_1+1", "1"}});                            // ("A"_1)+1 = "A1"+1 = 0+1
    ExpectValues({{"7\\2", "3"}, {"-7\\2", "-3"}, {"7#3", "1"}, {"-7#3", "2"}, {"7#-3", "-2"}, {"1/4", ".25"},
                  {"1/3", ".333333333333333333"}, {"2/3", ".666666666666666667"}, {".1+.2", ".3"},
                  {"0-0", "0"}, {"-0", "0"}, {"1.50*2", "3"}, {"123456789*987654321", "121932631112635269"},
                  {"+\"12abc\"", "12"}, {"-\"abc\"", "0"}});
    for (const char* divide : {"S X=1/0", "S X=1#0", "S X=1\\0"})
        EXPECT_EQ(RunError(divide), "The screen failed on record 7: <DIVIDE>") << divide;
    EXPECT_EQ(RunError("S X=1E40*1E10"), "The screen failed on record 7: <NUMOFLOW>");
    // "10">"9" compares numbers, "10"]"9" and "01"=1 texts; a number literal is a number.
    ExpectPass({"I \"10\">\"9\"", "I +\"01\"=1", "I 1.0=1", "I \"HELLO\"[\"ELL\"", "I \"HELLO\"[\"\"",
                "I \"B\"]\"A\"", "I 1'=2,2'<1,1'>2,\"AB\"'[\"C\",\"A\"']\"B\",\"X\"'?1N", "I 0'&1,0'!0",
                "I \"abc\"<1"});
    ExpectPass({"I \"10\"]\"9\"", "I \"01\"=1", "I 1'=1"}, false);
    // What GT.M answers: the operand after & or ! that cannot change the result is not evaluated,
    // and # and \ work on the decimal values.
    ExpectPass({"I 1!(1/0)", "I '(0&(1/0))", "I 0'&(1/0)", "I 1#.01=0", "I 1\\.01=100",
                "I 10.5#.1=0", "I -7#3=2"});
    ExpectPass({"I 0&(1/0)", "I 1'!(1/0)"}, false);
    EXPECT_EQ(RunError("I 1&(1/0)"), "The screen failed on record 7: <DIVIDE>");
    // Strings read as numbers and truth values.
    const Pairs cases = {{"12abc", "12"}, {"abc", "0"}, {" 12", "0"}, {"-.5x", "-.5"}, {"1E2", "100"},
                         {"1E-3", ".001"}, {"1e2", "1"}, {"1.50", "1.5"}, {"007", "7"}, {"--3", "3"},
                         {"+-+3", "-3"}, {".0", "0"}, {"-0", "0"}, {"1.", "1"}, {".", "0"}, {"E5", "0"},
                         {"1E-50", "0"}, {"123456789012345678901", "123456789012345679000"},
                         {"999999999999999999.9", "1000000000000000000"}};
    for (const auto& [text, number] : cases)
        EXPECT_EQ(NumericInterpretation(text), number) << text;
    EXPECT_THROW(NumericInterpretation("1E50"), MRuntimeError);
    EXPECT_TRUE(TruthValue("1abc") && TruthValue(".001"));
    EXPECT_FALSE(TruthValue("0.0") || TruthValue("abc"));
    EXPECT_EQ(IntegerInterpretation("2.9"), 2);
    EXPECT_EQ(IntegerInterpretation("-2.9"), -2);
    EXPECT_EQ(IntegerInterpretation("1E20"), 2147483648L);
}

TEST_F(Screen, FunctionsVariablesCommandsAndTheNakedIndicator) {
    const std::string s = "\"a^b^c\"";
    ExpectValues({{"$P(" + s + ",\"^\",2)", "b"}, {"$P(" + s + ",\"^\")", "a"}, {"$P(" + s + ",\"^\",0)", ""},
                  {"$P(" + s + ",\"^\",-1)", ""}, {"$P(" + s + ",\"^\",4)", ""}, {"$P(" + s + ",\"^\",3)", "c"},
                  {"$P(" + s + ",\"^\",2,3)", "b^c"}, {"$P(" + s + ",\"^\",0,2)", "a^b"},
                  {"$P(" + s + ",\"^\",2,9)", "b^c"}, {"$P(" + s + ",\"^\",3,2)", ""}, {"$P(" + s + ",\"\")", ""},
                  {"$P(\"abc\",\"^\")", "abc"}, {"$P(\"abc\",\"^\",2)", ""}, {"$P(\"a::b::c\",\"::\",2)", "b"},
                  {"$P(\"a^^c\",\"^\",2)", ""}, {"$P(" + s + ",\"^\",\"2abc\")", "b"},
                  {"$PIECE(" + s + ",U,2)", "b"}, {"$p(" + s + ",U,2)", "b"},
                  {"$E(\"HELLO\")", "H"}, {"$E(\"HELLO\",2)", "E"}, {"$E(\"HELLO\",2,4)", "ELL"},
                  {"$E(\"HELLO\",0)", ""}, {"$E(\"HELLO\",-5,2)", "HE"}, {"$E(\"HELLO\",4,99)", "LO"},
                  {"$E(\"HELLO\",6)", ""}, {"$E(\"HELLO\",3,2)", ""}, {"$E(\"\",1)", ""},
                  {"$EXTRACT(\"HELLO\",5)", "O"}, {"$L(\"abc\")", "3"}, {"$L(\"\")", "0"},
                  {"$L(\"a^b^c\",\"^\")", "3"}, {"$L(\"abc\",\"\")", "0"}, {"$L(\"\",\"^\")", "1"},
                  {"$L(\"a::b\",\"::\")", "2"}, {"$LENGTH(\"abcd\")", "4"}});
    ExpectValues({{"$G(X)", ""}, {"$G(X,\"none\")", "none"}, {"$D(X)", "0"}, {"$D(^TEST(7))", "10"},
                  {"$D(^TEST(7,0))", "1"}, {"$D(^OTHER(5))", "11"}, {"$D(^TEST(8))", "0"},
                  {"$G(^TEST(8,0),\"gone\")", "gone"}, {"$GET(^TEST(7,\"TYPE\"))", "TRM"},
                  {"$DATA(^OTHER(5,7))", "1"}, {"$G(^OTHER(5,\"\"))", ""}});  // no node has an empty subscript
    EXPECT_TRUE(Passes("S X=1 I $D(X)=1,$G(X,2)=1"));
    EXPECT_EQ(RunError("S X=^TEST(8,0)"), "The screen failed on record 7: <UNDEFINED> ^TEST(8,0)");
    EXPECT_EQ(RunError("S X=NOPE"), "The screen failed on record 7: <UNDEFINED> NOPE");
    // The naked indicator starts at the record's node 0 and moves with every reference.
    ExpectPass({"I $P(^(0),U,2)=12", "I $P($G(^(1)),U,5)=1,^(\"TYPE\")=\"TRM\"",
                // A reference elsewhere moves it: ^(7) is then ^OTHER(5,7); $DATA moves it too.
                "S A=$G(^OTHER(5,1)) I ^(7)=\"seven\"", "I $D(^OTHER(5,7)),^(\"seven\")=\"by name\"",
                // Subscripts first, then the naked reference: ^(^OTHER(5,7)) is ^OTHER(5,"seven").
                "I ^(^OTHER(5,7))=\"by name\"",
                "I ^OTHER(5)=\"five\",^(5)=\"five\"",                  // a one-level reference leaves ^OTHER(
                "S A=$G(^OTHER(5,7))", "I $P(^(0),U)=\"LASER\""});  // every record starts afresh
    // An unsubscripted reference leaves none.
    EXPECT_EQ(RunError("S A=$G(^OTHER) S B=$G(^(1))"), "The screen failed on record 7: <NAKED>");
    ExpectPass({"I Y=7", "I U=\"^\",DT=3261206,DUZ=1", "I Y'=5 I 12=$P($G(^(0)),U,2)", "S A=1,B=A+1 I B=2",
                "set a=1 if a=1", "S %X=4,X1=5 I %X+X1=9", "NEW A,B SET A=2 IF A=2",
                "I 1 I  S A=1",                                  // the argumentless IF tests $T
                "S A=1",                                         // no IF: the record passes
                "I 1 ;I 0 is only a comment", "  I 1  S A=1"});  // blanks before and between commands
    ExpectPass({"I Y'=7", "I Y'=7 I 12=$P($G(^(0)),U,2)", "I 0 S A=1/0", "I 1,0,1/0"},  // a false IF ends it
               false);
    EXPECT_EQ(RunError("S A=1 N A I A"), "The screen failed on record 7: <UNDEFINED> A");
}

TEST_F(Screen, PatternsMatchWholeTextsAndStayCheap) {
    ExpectPass({"I \"LPT1\"?1AP.ANP", "I \"/var/spool/x.prn\"?1AP.ANP", "I \"P-LASER\"?1\"P-\".E",
                "I 123?3N,12'?3N,1234'?3N", "I \"\"?.3U,\"ABC\"?.3U,\"ABCD\"'?.3U",
                "I \"AB\"?2.5A,\"ABCDE\"?2.5A,\"A\"'?2.5A,\"ABCDEF\"'?2.5A", "I \"12\"'?3.N,\"123456\"?3.N",
                "I \"ABAB\"?.\"AB\",\"ABA\"'?.\"AB\",\"\"?.\"AB\"", "I \"1x2\"?1N.E1N,\"12\"?1N.E1N,\"1\"'?1N.E1N",
                "I \"a b\"?1L1P1L,\"Ab\"?1u1l,\"aB\"'?1U1L", "I \"say \"\"hi\"\"\"?4E1\"\"\"hi\"\"\"",
                "I \"ABC\"?1.2\"A\"2U",  // the count stops short to leave room
                "I \"ABABAB\"?2\"AB\"1\"AB\",\"ABAB\"'?3\"AB\"", "I \"\"?.E,\"\"?.N"});
    ExpectPass({"I \"1LPT\"?1AP.ANP", "I \"\"?1AP.ANP", "I \"C-VT100\"?1\"P-\".E"}, false);
    // A pattern that would backtrack forever stays cheap.
    std::string code = "S A=\"" + std::string(63, 'a') + "\"";
    EXPECT_FALSE(Passes(code + ",A=A_A_A_A_A_A_A_A I A?.E.E.E.E.E.E.E.E.E.E.E.E.E.E1\"Z\""));
    Pattern pattern;
    PatternProblem problem;
    std::size_t pos = 0;
    ASSERT_TRUE(ParsePattern(".E.E.E.E.E.E.E.E.E.E.E.E1N", pos, pattern, problem));
    long steps = 0;
    EXPECT_FALSE(MatchPattern(pattern, std::string(20000, 'a'), [&](long n) { steps += n; }));
    EXPECT_LT(steps, 10000);
}

TEST_F(Screen, CodeOutsideTheSubsetIsRefusedNamingWhatAndCodeNotMWhere) {
    const Pairs cases = {{"W X", "the command W"}, {"F  S X=1", "the command F"}, {"I 1 G A", "the command G"},
                         {"X \"I 1\"", "the command X"}, {"I X Y", "the command Y"},
                         {"I $O(^X(1))", "the function $O"}, {"I $$F^X", "extrinsic functions ($$)"},
                         {"I $H>1", "the special variable $H"}, {"I @X", "indirection (@)"},
                         {"S ^X(1)=1", "SET of a global (a screen only reads)"},
                         {"I X(1)=1", "subscripted local variables"}, {"I 2**2", "the operator **"},
                         {"I \"B\"]]\"A\"", "the operator ]]"}, {"I:1 1", "post-conditions (I:)"},
                         {"N", "NEW without arguments"}, {"N (X)", "the exclusive NEW"},
                         {"I X?1C", "the pattern code C"}, {"I X?1(1N,1A)", "pattern alternation ?(...)"},
                         {"I ^|\"X\"|A(1)", "extended global references"},
                         {std::string(5000, ' ') + "I 1", "more than 4096 characters"},
                         {"I " + std::string(100, '(') + "1", "expressions nested more than 64 deep"}};
    for (const auto& [code, what] : cases)
        EXPECT_EQ(CodeError(code), "unsupported: The screen uses " + what + ", which is not supported.") << code;
    // Code that is not M is a syntax error with its place.
    const Pairs syntax = {{"I 1+", "5: an expression is expected"}, {"I (1", "5: \")\" is expected"},
                          {"I \"abc", "3: the string is not closed"}, {"S X", "4: \"=\" is expected after the variable"},
                          {"I1", "2: a space is expected after the command"}, {"I $P(X)", "3: $P takes 2 to 4 arguments"},
                          {"I X?", "5: a pattern is expected"}, {"I 1E99", "3: the number is too large"},
                          {"I X?3.2N", "5: the pattern count's least is above its most"}};
    for (const auto& [code, what] : syntax)
        EXPECT_EQ(CodeError(code), "syntax: The screen has a syntax error at character " + what + ".") << code;
    EXPECT_EQ(CodeError(""), "accepted");
    EXPECT_TRUE(MScreen("   ").Empty());
}

// clang-format on

TEST_F(Screen, EveryRecordIsBoundedInStepsAndAllTheRecordsOfOneCallShareABudget) {
    // Each SET multiplies the text eightfold; the work grows with it until the limit stops it.
    std::string code = "S A=\"xxxxxxxxxx\"";
    for (int i = 0; i < 6; ++i)
        code += ",A=A_A_A_A_A_A_A_A";
    EXPECT_EQ(RunError(code), "The screen needs more than 10000 steps on record 7.");
    // A long but honest screen stays within them.
    std::string honest = "S A=0";
    for (int i = 0; i < 5; ++i) {
        honest += ",A=A";
        for (int j = 0; j < 100; ++j)
            honest += "+1";
    }
    EXPECT_TRUE(Passes(honest + " I A=500"));
    long spent = 0;
    env.spent = &spent;
    env.callLimit = 100;
    const MScreen screen("S A=1+1+1+1+1+1+1+1 I A=8");
    int passed = 0;
    try {
        for (int i = 0; i < 100; ++i)
            passed += screen.Passes(env, "7", GlobalRef{"TEST", {"7"}});
        ADD_FAILURE() << "the budget was never exceeded";
    } catch (const ScreenRunError& e) {
        EXPECT_STREQ(e.what(),
                     "The screen needs more than 100 steps for all the records of this call.");
    }
    EXPECT_GT(passed, 2);
    EXPECT_LT(passed, 10);
    EXPECT_GT(spent, 100);
}

}  // namespace
}  // namespace vorn::devserver
