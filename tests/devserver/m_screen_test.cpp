// The screen evaluator on globals in memory: operators strictly left to right, numbers as M
// reads them, patterns, naked references, the functions' edge cases, the subset's limits.
#include "devserver/m_screen.h"

#include <gtest/gtest.h>

#include "devserver/m_screen_number.h"
#include "devserver/m_screen_pattern.h"
#include "tests/devserver/memory_globals.h"

namespace vorn::devserver {
namespace {

class Screen : public ::testing::Test {
  protected:
    Screen() {
        env.globals = &globals;
        env.dt = "3261206";
        env.duz = "1";
        // A record ^TEST(7) and a second global.
        globals.Set({"TEST", {"7", "0"}}, "LASER^12^x");
        globals.Set({"TEST", {"7", "1"}}, "ROOM 3^^^^1");
        globals.Set({"TEST", {"7", "TYPE"}}, "TRM");
        globals.Set({"OTHER", {"5", "7"}}, "seven");
        globals.Set({"OTHER", {"5", "seven"}}, "by name");
        globals.Set({"OTHER", {"5"}}, "five");
    }
    bool Passes(const std::string& code, const std::string& ien = "7") {
        return MScreen(code).Passes(env, ien, GlobalRef{"TEST", {ien}});
    }
    static std::string Quoted(const std::string& s) {
        std::string q = "\"";
        for (char c : s)
            q += c == '"' ? std::string("\"\"") : std::string(1, c);
        return q + "\"";
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

// Checks `expression` evaluates to exactly `expected` by comparing it inside the screen.
#define EXPECT_M(expression, expected)                                                   \
    EXPECT_TRUE(Passes(std::string("S R=") + (expression) + " I R=" + Quoted(expected))) \
        << (expression) << " should be " << (expected)

TEST_F(Screen, OperatorsGoStrictlyLeftToRight) {
    EXPECT_M("2+3*4", "20");
    EXPECT_M("2*3+4", "10");
    EXPECT_M("10-2-3", "5");
    EXPECT_M("2+(3*4)", "14");
    EXPECT_M("1+2_3", "33");
    EXPECT_M("-1+2", "1");
    EXPECT_M("'0&1", "1");
    EXPECT_M("'(0&1)", "1");
    EXPECT_M("5>3>0", "1");      // (5>3) is 1, and 1>0
    EXPECT_M("3<2=0", "1");      // (3<2) is 0, and 0=0
    EXPECT_M("1!0&0", "0");      // (1!0)&0
    EXPECT_M("\"A\"_1+1", "1");  // ("A"_1)+1 = "A1"+1 = 0+1
}

TEST_F(Screen, ArithmeticFollowsM) {
    EXPECT_M("7\\2", "3");
    EXPECT_M("-7\\2", "-3");
    EXPECT_M("7#3", "1");
    EXPECT_M("-7#3", "2");
    EXPECT_M("7#-3", "-2");
    EXPECT_M("1/4", ".25");
    EXPECT_M("1/3", ".333333333333333333");
    EXPECT_M("2/3", ".666666666666666667");
    EXPECT_M(".1+.2", ".3");
    EXPECT_M("0-0", "0");
    EXPECT_M("-0", "0");
    EXPECT_M("1.50*2", "3");
    EXPECT_M("123456789*987654321", "121932631112635269");
    EXPECT_M("+\"12abc\"", "12");
    EXPECT_M("-\"abc\"", "0");
    EXPECT_EQ(RunError("S X=1/0"), "The screen failed on record 7: <DIVIDE>");
    EXPECT_EQ(RunError("S X=1#0"), "The screen failed on record 7: <DIVIDE>");
    EXPECT_EQ(RunError("S X=1\\0"), "The screen failed on record 7: <DIVIDE>");
    EXPECT_EQ(RunError("S X=1E40*1E10"), "The screen failed on record 7: <NUMOFLOW>");
}

TEST_F(Screen, ComparisonsAreNumericOrTextAsMSaysAndNegationWorksOnEach) {
    EXPECT_TRUE(Passes("I \"10\">\"9\""));   // numeric
    EXPECT_FALSE(Passes("I \"10\"]\"9\""));  // text: "1" comes before "9"
    EXPECT_FALSE(Passes("I \"01\"=1"));      // = compares text
    EXPECT_TRUE(Passes("I +\"01\"=1"));
    EXPECT_TRUE(Passes("I 1.0=1"));  // a number literal is read as a number
    EXPECT_TRUE(Passes("I \"HELLO\"[\"ELL\""));
    EXPECT_TRUE(Passes("I \"HELLO\"[\"\""));
    EXPECT_TRUE(Passes("I \"B\"]\"A\""));
    EXPECT_TRUE(Passes("I 1'=2,2'<1,1'>2,\"AB\"'[\"C\",\"A\"']\"B\",\"X\"'?1N"));
    EXPECT_TRUE(Passes("I 0'&1,0'!0"));
    EXPECT_FALSE(Passes("I 1'=1"));
    EXPECT_TRUE(Passes("I \"abc\"<1"));  // "abc" is 0
}

TEST_F(Screen, NumericInterpretationOfStrings) {
    EXPECT_EQ(NumericInterpretation("12abc"), "12");
    EXPECT_EQ(NumericInterpretation("abc"), "0");
    EXPECT_EQ(NumericInterpretation(" 12"), "0");
    EXPECT_EQ(NumericInterpretation("-.5x"), "-.5");
    EXPECT_EQ(NumericInterpretation("1E2"), "100");
    EXPECT_EQ(NumericInterpretation("1E-3"), ".001");
    EXPECT_EQ(NumericInterpretation("1e2"), "1");
    EXPECT_EQ(NumericInterpretation("1.50"), "1.5");
    EXPECT_EQ(NumericInterpretation("007"), "7");
    EXPECT_EQ(NumericInterpretation("--3"), "3");
    EXPECT_EQ(NumericInterpretation("+-+3"), "-3");
    EXPECT_EQ(NumericInterpretation(".0"), "0");
    EXPECT_EQ(NumericInterpretation("-0"), "0");
    EXPECT_EQ(NumericInterpretation("1."), "1");
    EXPECT_EQ(NumericInterpretation("."), "0");
    EXPECT_EQ(NumericInterpretation("E5"), "0");
    EXPECT_EQ(NumericInterpretation("123456789012345678901"), "123456789012345679000");
    EXPECT_EQ(NumericInterpretation("999999999999999999.9"), "1000000000000000000");
    EXPECT_EQ(NumericInterpretation("1E-50"), "0");
    EXPECT_THROW(NumericInterpretation("1E50"), MRuntimeError);
    EXPECT_TRUE(TruthValue("1abc"));
    EXPECT_TRUE(TruthValue(".001"));
    EXPECT_FALSE(TruthValue("0.0"));
    EXPECT_FALSE(TruthValue("abc"));
    EXPECT_EQ(IntegerInterpretation("2.9"), 2);
    EXPECT_EQ(IntegerInterpretation("-2.9"), -2);
    EXPECT_EQ(IntegerInterpretation("1E20"), 2147483648L);
}

TEST_F(Screen, PieceEdgeCases) {
    const std::string s = "\"a^b^c\"";
    EXPECT_M("$P(" + s + ",\"^\",2)", "b");
    EXPECT_M("$P(" + s + ",\"^\")", "a");
    EXPECT_M("$P(" + s + ",\"^\",0)", "");
    EXPECT_M("$P(" + s + ",\"^\",-1)", "");
    EXPECT_M("$P(" + s + ",\"^\",4)", "");
    EXPECT_M("$P(" + s + ",\"^\",3)", "c");
    EXPECT_M("$P(" + s + ",\"^\",2,3)", "b^c");
    EXPECT_M("$P(" + s + ",\"^\",0,2)", "a^b");
    EXPECT_M("$P(" + s + ",\"^\",2,9)", "b^c");
    EXPECT_M("$P(" + s + ",\"^\",3,2)", "");
    EXPECT_M("$P(" + s + ",\"\")", "");
    EXPECT_M("$P(\"abc\",\"^\")", "abc");
    EXPECT_M("$P(\"abc\",\"^\",2)", "");
    EXPECT_M("$P(\"a::b::c\",\"::\",2)", "b");
    EXPECT_M("$P(\"a^^c\",\"^\",2)", "");
    EXPECT_M("$P(" + s + ",\"^\",\"2abc\")", "b");
    EXPECT_M("$PIECE(" + s + ",U,2)", "b");
    EXPECT_M("$p(" + s + ",U,2)", "b");
}

TEST_F(Screen, ExtractAndLengthEdgeCases) {
    EXPECT_M("$E(\"HELLO\")", "H");
    EXPECT_M("$E(\"HELLO\",2)", "E");
    EXPECT_M("$E(\"HELLO\",2,4)", "ELL");
    EXPECT_M("$E(\"HELLO\",0)", "");
    EXPECT_M("$E(\"HELLO\",-5,2)", "HE");
    EXPECT_M("$E(\"HELLO\",4,99)", "LO");
    EXPECT_M("$E(\"HELLO\",6)", "");
    EXPECT_M("$E(\"HELLO\",3,2)", "");
    EXPECT_M("$E(\"\",1)", "");
    EXPECT_M("$EXTRACT(\"HELLO\",5)", "O");
    EXPECT_M("$L(\"abc\")", "3");
    EXPECT_M("$L(\"\")", "0");
    EXPECT_M("$L(\"a^b^c\",\"^\")", "3");
    EXPECT_M("$L(\"abc\",\"\")", "0");
    EXPECT_M("$L(\"\",\"^\")", "1");
    EXPECT_M("$L(\"a::b\",\"::\")", "2");
    EXPECT_M("$LENGTH(\"abcd\")", "4");
}

TEST_F(Screen, GetAndDataOnLocalsAndGlobals) {
    EXPECT_M("$G(X)", "");
    EXPECT_M("$G(X,\"none\")", "none");
    EXPECT_M("$D(X)", "0");
    EXPECT_TRUE(Passes("S X=1 I $D(X)=1,$G(X,2)=1"));
    EXPECT_M("$D(^TEST(7))", "10");
    EXPECT_M("$D(^TEST(7,0))", "1");
    EXPECT_M("$D(^OTHER(5))", "11");
    EXPECT_M("$D(^TEST(8))", "0");
    EXPECT_M("$G(^TEST(8,0),\"gone\")", "gone");
    EXPECT_M("$GET(^TEST(7,\"TYPE\"))", "TRM");
    EXPECT_M("$DATA(^OTHER(5,7))", "1");
    EXPECT_M("$G(^OTHER(5,\"\"))", "");  // no node has an empty subscript
    EXPECT_EQ(RunError("S X=^TEST(8,0)"), "The screen failed on record 7: <UNDEFINED> ^TEST(8,0)");
    EXPECT_EQ(RunError("S X=NOPE"), "The screen failed on record 7: <UNDEFINED> NOPE");
}

TEST_F(Screen, TheNakedIndicatorStartsAtTheRecordsNodeZeroAndMovesWithEveryReference) {
    EXPECT_TRUE(Passes("I $P(^(0),U,2)=12"));
    EXPECT_TRUE(Passes("I $P($G(^(1)),U,5)=1,^(\"TYPE\")=\"TRM\""));
    // A reference elsewhere moves it: ^(7) is then ^OTHER(5,7).
    EXPECT_TRUE(Passes("S A=$G(^OTHER(5,1)) I ^(7)=\"seven\""));
    // $DATA moves it too.
    EXPECT_TRUE(Passes("I $D(^OTHER(5,7)),^(\"seven\")=\"by name\""));
    // Subscripts first, then the naked reference: ^(^OTHER(5,7)) is ^OTHER(5,"seven").
    EXPECT_TRUE(Passes("I ^(^OTHER(5,7))=\"by name\""));
    // A one-level reference leaves ^OTHER( as the indicator.
    EXPECT_TRUE(Passes("I ^OTHER(5)=\"five\",^(5)=\"five\""));
    // An unsubscripted reference leaves none.
    EXPECT_EQ(RunError("S A=$G(^OTHER) S B=$G(^(1))"), "The screen failed on record 7: <NAKED>");
    // Every record starts afresh.
    EXPECT_TRUE(Passes("S A=$G(^OTHER(5,7))"));
    EXPECT_TRUE(Passes("I $P(^(0),U)=\"LASER\""));
}

TEST_F(Screen, VariablesCommandsAndComments) {
    EXPECT_TRUE(Passes("I Y=7"));
    EXPECT_FALSE(Passes("I Y'=7"));
    EXPECT_TRUE(Passes("I U=\"^\",DT=3261206,DUZ=1"));
    EXPECT_TRUE(Passes("I Y'=5 I 12=$P($G(^(0)),U,2)"));
    EXPECT_FALSE(Passes("I Y'=7 I 12=$P($G(^(0)),U,2)"));
    EXPECT_TRUE(Passes("S A=1,B=A+1 I B=2"));
    EXPECT_TRUE(Passes("set a=1 if a=1"));
    EXPECT_TRUE(Passes("S %X=4,X1=5 I %X+X1=9"));
    EXPECT_EQ(RunError("S A=1 N A I A"), "The screen failed on record 7: <UNDEFINED> A");
    EXPECT_TRUE(Passes("NEW A,B SET A=2 IF A=2"));
    EXPECT_TRUE(Passes("I 1 I  S A=1"));  // the argumentless IF tests $T
    EXPECT_TRUE(Passes("S A=1"));         // no IF: the record passes
    EXPECT_TRUE(Passes("I 1 ;I 0 is only a comment"));
    EXPECT_TRUE(Passes("  I 1  S A=1"));  // blanks before and between commands
    EXPECT_FALSE(Passes("I 0 S A=1/0"));  // a false IF ends the line
    EXPECT_FALSE(Passes("I 1,0,1/0"));
}

TEST_F(Screen, PatternsMatchWholeTexts) {
    EXPECT_TRUE(Passes("I \"LPT1\"?1AP.ANP"));
    EXPECT_TRUE(Passes("I \"/var/spool/x.prn\"?1AP.ANP"));
    EXPECT_FALSE(Passes("I \"1LPT\"?1AP.ANP"));
    EXPECT_FALSE(Passes("I \"\"?1AP.ANP"));
    EXPECT_TRUE(Passes("I \"P-LASER\"?1\"P-\".E"));
    EXPECT_FALSE(Passes("I \"C-VT100\"?1\"P-\".E"));
    EXPECT_TRUE(Passes("I 123?3N,12'?3N,1234'?3N"));
    EXPECT_TRUE(Passes("I \"\"?.3U,\"ABC\"?.3U,\"ABCD\"'?.3U"));
    EXPECT_TRUE(Passes("I \"AB\"?2.5A,\"ABCDE\"?2.5A,\"A\"'?2.5A,\"ABCDEF\"'?2.5A"));
    EXPECT_TRUE(Passes("I \"12\"'?3.N,\"123456\"?3.N"));
    EXPECT_TRUE(Passes("I \"ABAB\"?.\"AB\",\"ABA\"'?.\"AB\",\"\"?.\"AB\""));
    EXPECT_TRUE(Passes("I \"1x2\"?1N.E1N,\"12\"?1N.E1N,\"1\"'?1N.E1N"));
    EXPECT_TRUE(Passes("I \"a b\"?1L1P1L,\"Ab\"?1u1l,\"aB\"'?1U1L"));
    EXPECT_TRUE(Passes("I \"say \"\"hi\"\"\"?4E1\"\"\"hi\"\"\""));
    EXPECT_TRUE(Passes("I \"ABC\"?1.2\"A\"2U"));  // the count stops short to leave room
    EXPECT_TRUE(Passes("I \"ABABAB\"?2\"AB\"1\"AB\",\"ABAB\"'?3\"AB\""));
    EXPECT_TRUE(Passes("I \"\"?.E,\"\"?.N"));
}

TEST_F(Screen, APatternThatWouldBacktrackForeverStaysCheap) {
    std::string code = "S A=\"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\"";
    code += ",A=A_A_A_A_A_A_A_A I A?.E.E.E.E.E.E.E.E.E.E.E.E.E.E1\"Z\"";
    EXPECT_FALSE(Passes(code));
    Pattern pattern;
    PatternProblem problem;
    const std::string text = ".E.E.E.E.E.E.E.E.E.E.E.E1N";
    std::size_t pos = 0;
    ASSERT_TRUE(ParsePattern(text, pos, pattern, problem));
    long steps = 0;
    EXPECT_FALSE(MatchPattern(pattern, std::string(20000, 'a'), [&](long n) { steps += n; }));
    EXPECT_LT(steps, 10000);
}

TEST_F(Screen, TheDeviceScreenSelectsPrintersThatAreInService) {
    const std::string screen =
        "N STYPE,TYPE,TI S STYPE=$G(^%ZIS(2,$G(^%ZIS(1,Y,\"SUBTYPE\"),\"NOSUBTYPE\"),0)),"
        "TYPE=$G(^%ZIS(1,Y,\"TYPE\")),TI=$P($G(^(0)),U,2) I TYPE=\"HFS\"!(TYPE=\"TRM\")&(TI>0!"
        "(TI?1AP.ANP))&($P($G(^(1)),U,5)'=1)&($P(STYPE,U)?1\"P-\".E)&($P(^(0),U)'=\"CLIENT "
        "WORKSTATION\")";
    test::MemoryGlobals zis;
    env.globals = &zis;
    zis.Set({"%ZIS", {"2", "1", "0"}}, "P-LASER");
    zis.Set({"%ZIS", {"2", "2", "0"}}, "P-OTHER");
    zis.Set({"%ZIS", {"2", "3", "0"}}, "C-VT100");
    struct Device {
        std::string ien, zero, one, subtype, type;
        bool printer;
    };
    const std::vector<Device> devices = {
        {"1", "CLIENT WORKSTATION^|TCP|", "THE USER'S OWN WORKSTATION^^^^", "3", "VTRM", false},
        {"2", "LASER PRINTER 1^LPT1", "LABORATORY, ROOM 12^^^^", "1", "TRM", true},
        {"3", "OFFICE PRINTER^/var/spool/vorn/office.prn", "OFFICE, ROOM 3^^^^", "2", "HFS", true},
        {"4", "OLD PRINTER^LPT2", "STORE ROOM^^^^1", "2", "TRM", false},
        {"5", "WARD TERMINAL^TTY5", "MEDICAL WARD 1^^^^", "3", "TRM", false},
        {"6", "NUMBERED PRINTER^12", "", "1", "TRM", true},            // $I a number, no node 1
        {"7", "NO SUBTYPE^LPT7", "X^^^^", "", "TRM", false},           // "NOSUBTYPE"
        {"8", "EMPTY PORT^", "X^^^^", "1", "HFS", false},              // no $I
        {"9", "CLIENT WORKSTATION^LPT9", "X^^^^", "1", "TRM", false},  // the workstation's name
        {"10", "SPOOL^ spool", "X^^^^0", "2", "HFS", true},            // a blank is punctuation
        {"11", "BROWSER^LPT11", "X^^^^", "1", "VTRM", false},
    };
    for (const Device& d : devices) {
        zis.Set({"%ZIS", {"1", d.ien, "0"}}, d.zero);
        if (!d.one.empty()) zis.Set({"%ZIS", {"1", d.ien, "1"}}, d.one);
        if (!d.subtype.empty()) zis.Set({"%ZIS", {"1", d.ien, "SUBTYPE"}}, d.subtype);
        zis.Set({"%ZIS", {"1", d.ien, "TYPE"}}, d.type);
    }
    const MScreen compiled(screen);
    for (const Device& d : devices)
        EXPECT_EQ(compiled.Passes(env, d.ien, GlobalRef{"%ZIS", {"1", d.ien}}), d.printer)
            << "device " << d.ien;
}

TEST_F(Screen, CodeOutsideTheSubsetIsRefusedNamingWhatIsNotSupported) {
    EXPECT_EQ(CodeError("W X"),
              "unsupported: The screen uses the command W, which is not supported.");
    EXPECT_EQ(CodeError("F  S X=1"),
              "unsupported: The screen uses the command F, which is not supported.");
    EXPECT_EQ(CodeError("I 1 G A"),
              "unsupported: The screen uses the command G, which is not supported.");
    EXPECT_EQ(CodeError("X \"I 1\""),
              "unsupported: The screen uses the command X, which is not supported.");
    EXPECT_EQ(CodeError("I $O(^X(1))"),
              "unsupported: The screen uses the function $O, which is not supported.");
    EXPECT_EQ(CodeError("I $$F^X"),
              "unsupported: The screen uses extrinsic functions ($$), which is not supported.");
    EXPECT_EQ(CodeError("I $H>1"),
              "unsupported: The screen uses the special variable $H, which is not supported.");
    EXPECT_EQ(CodeError("I @X"),
              "unsupported: The screen uses indirection (@), which is not supported.");
    EXPECT_EQ(CodeError("S ^X(1)=1"),
              "unsupported: The screen uses SET of a global (a screen only reads), which is not "
              "supported.");
    EXPECT_EQ(CodeError("I X(1)=1"),
              "unsupported: The screen uses subscripted local variables, which is not supported.");
    EXPECT_EQ(CodeError("I 2**2"),
              "unsupported: The screen uses the operator **, which is not supported.");
    EXPECT_EQ(CodeError("I \"B\"]]\"A\""),
              "unsupported: The screen uses the operator ]], which is not supported.");
    EXPECT_EQ(CodeError("I:1 1"),
              "unsupported: The screen uses post-conditions (I:), which is not supported.");
    EXPECT_EQ(CodeError("N"),
              "unsupported: The screen uses NEW without arguments, which is not supported.");
    EXPECT_EQ(CodeError("N (X)"),
              "unsupported: The screen uses the exclusive NEW, which is not supported.");
    EXPECT_EQ(CodeError("I X?1C"),
              "unsupported: The screen uses the pattern code C, which is not supported.");
    EXPECT_EQ(CodeError("I X?1(1N,1A)"),
              "unsupported: The screen uses pattern alternation ?(...), which is not supported.");
    EXPECT_EQ(CodeError("I ^|\"X\"|A(1)"),
              "unsupported: The screen uses extended global references, which is not supported.");
}

TEST_F(Screen, CodeThatIsNotMIsASyntaxErrorWithItsPlace) {
    EXPECT_EQ(CodeError("I 1+"),
              "syntax: The screen has a syntax error at character 5: an expression is expected.");
    EXPECT_EQ(CodeError("I (1"),
              "syntax: The screen has a syntax error at character 5: \")\" is expected.");
    EXPECT_EQ(CodeError("I \"abc"),
              "syntax: The screen has a syntax error at character 3: the string is not closed.");
    EXPECT_EQ(CodeError("S X"),
              "syntax: The screen has a syntax error at character 4: \"=\" is expected after the "
              "variable.");
    EXPECT_EQ(CodeError("I1"),
              "syntax: The screen has a syntax error at character 2: a space is expected after the "
              "command.");
    EXPECT_EQ(CodeError("I X Y"),
              "unsupported: The screen uses the command Y, which is not supported.");
    EXPECT_EQ(CodeError("I $P(X)"),
              "syntax: The screen has a syntax error at character 3: $P takes 2 to 4 arguments.");
    EXPECT_EQ(CodeError("I X?"),
              "syntax: The screen has a syntax error at character 5: a pattern is expected.");
    EXPECT_EQ(CodeError("I X?3.2N"),
              "syntax: The screen has a syntax error at character 5: the pattern count's least "
              "is above its most.");
    EXPECT_EQ(CodeError("I 1E99"),
              "syntax: The screen has a syntax error at character 3: the number is too large.");
    EXPECT_EQ(CodeError(std::string(5000, ' ') + "I 1"),
              "unsupported: The screen uses more than 4096 characters, which is not supported.");
    std::string deep = "I ";
    for (int i = 0; i < 100; ++i)
        deep += "(";
    EXPECT_EQ(CodeError(deep + "1"),
              "unsupported: The screen uses expressions nested more than 64 deep, which is not "
              "supported.");
    EXPECT_EQ(CodeError(""), "accepted");
    EXPECT_TRUE(MScreen("   ").Empty());
}

TEST_F(Screen, EveryRecordIsBoundedInSteps) {
    // Each SET multiplies the text eightfold; the work grows with it until the limit stops it.
    std::string code = "S A=\"xxxxxxxxxx\"";
    for (int i = 0; i < 6; ++i)
        code += ",A=A_A_A_A_A_A_A_A";
    EXPECT_EQ(RunError(code), "The screen needs more than 10000 steps on record 7.");
    // A long but honest screen stays within them.
    std::string sum = "S A=0";
    for (int i = 0; i < 5; ++i) {
        sum += ",A=A";
        for (int j = 0; j < 100; ++j)
            sum += "+1";
    }
    EXPECT_TRUE(Passes(sum + " I A=500"));
}

TEST_F(Screen, AllTheRecordsOfOneCallShareABudget) {
    long spent = 0;
    env.spent = &spent;
    env.callLimit = 100;
    const MScreen screen("S A=1+1+1+1+1+1+1+1 I A=8");
    int passed = 0;
    try {
        for (int i = 0; i < 100; ++i)
            if (screen.Passes(env, "7", GlobalRef{"TEST", {"7"}})) ++passed;
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
