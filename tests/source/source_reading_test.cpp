// Reading records, browsing the file along its index, and the history of visited records.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "tests/source/lab_test_source.h"

namespace vorn {
namespace {

using test::Calls;

const Calls kRead = {"DDR GETS ENTRY DATA", "DDR LISTER", "DDR LISTER"};

class Reading : public test::LabTestSource {
  protected:
    void SetUp() override { Open(); }
};

TEST_F(Reading, ARecordIsReadWithEveryFieldOfTheFormAndTheTwoEndsAreAsked) {
    const std::size_t mark = CallMark();
    ASSERT_TRUE(source.GetAndFill("1"));
    EXPECT_EQ(CallNamesSince(mark), kRead);
    const test::LoggedCall read = CallsSince(mark)[0];
    EXPECT_EQ(read.Entry("\"FILE\""), "80001");
    EXPECT_EQ(read.Entry("\"FIELDS\""), ".01;2;4;6;100;");
    EXPECT_EQ(read.Entry("\"IENS\""), "1,");
    EXPECT_EQ(read.Entry("\"FLAGS\""), "IE");
    EXPECT_EQ(source.Iens(), "1,");
    EXPECT_EQ(source.State(), ssBrowse);
    EXPECT_EQ(abbreviation.text(), "HB");
    EXPECT_EQ(name.text(), "Hemoglobin");
    EXPECT_EQ(introduced.internalValue, "3100101");
    EXPECT_EQ(source.IndexValue(), "HB");
    EXPECT_FALSE(source.AtFirst());
    EXPECT_TRUE(next.isEnabled() && prior.isEnabled());
}

TEST_F(Reading, FieldsAreSentOnceWithTheIndexFieldAmongThem) {
    TvornSource three;
    test::FakeBoundControl a(three, ".01", &form), b(three, "2", &form), c(three, "4", &form);
    three.FileNumber = "80001";
    three.FMIndexField = "2";
    three.SetRPCBroker(&Broker());
    three.Open();
    const std::size_t mark = CallMark();
    three.GetAndFill("1");
    EXPECT_EQ(CallsSince(mark).at(0).Entry("\"FIELDS\""), ".01;2;4;");
}

TEST_F(Reading, MovingToTheNextRecordAsksTheListerFromTheCurrentOneAndPriorComesBack) {
    source.GetAndFill("1");
    const std::size_t mark = CallMark();
    ASSERT_TRUE(source.Next());
    EXPECT_EQ(CallNamesSince(mark),
              (Calls{"DDR LISTER", "DDR GETS ENTRY DATA", "DDR LISTER", "DDR LISTER"}));
    const test::LoggedCall step = CallsSince(mark)[0];
    EXPECT_EQ(step.Entry("\"FIELDS\""), ".001");
    EXPECT_EQ(step.Entry("\"MAX\""), "1");
    EXPECT_EQ(step.Entry("\"XREF\""), "B");
    EXPECT_EQ(step.Entry("\"FROM\""), "HB");
    EXPECT_EQ(step.Entry("\"FROM\",\"IEN\""), "1");
    EXPECT_FALSE(step.Entry("\"FLAGS\""));
    EXPECT_EQ(abbreviation.text(), "HBA1C");
    ASSERT_TRUE(source.Prior());
    EXPECT_EQ(abbreviation.text(), "HB");
}

TEST_F(Reading, NextOnTheLastAndPriorOnTheFirstRecordFallBackAndShowItAgain) {
    ASSERT_TRUE(source.Last());
    const QString lastOne = abbreviation.text();
    EXPECT_TRUE(source.AtLast());
    EXPECT_FALSE(next.isEnabled());
    const std::size_t mark = CallMark();
    EXPECT_TRUE(source.Next());
    EXPECT_EQ(CallNamesSince(mark), (Calls{"DDR LISTER", "DDR LISTER", "DDR GETS ENTRY DATA",
                                           "DDR LISTER", "DDR LISTER"}));
    EXPECT_EQ(CallsSince(mark)[1].Entry("\"FLAGS\""), "B");
    EXPECT_EQ(abbreviation.text(), lastOne);

    ASSERT_TRUE(source.First());
    EXPECT_EQ(abbreviation.text(), "ALB");
    EXPECT_TRUE(source.AtFirst());
    EXPECT_FALSE(first.isEnabled() || prior.isEnabled());
    EXPECT_TRUE(source.Prior());
    EXPECT_EQ(abbreviation.text(), "ALB");
}

TEST_F(Reading, AMissingRecordAndFirstAndLastOnAnEmptyFileEmptyTheForm) {
    EXPECT_FALSE(source.GetAndFill("999"));
    EXPECT_EQ(source.State(), ssEmpty);
    EXPECT_EQ(source.RecordNumber(), "");
    EXPECT_EQ(abbreviation.text(), "");
    source.GetAndFill("1");
    source.FMScreen = "I 0";
    EXPECT_FALSE(source.First());
    EXPECT_EQ(abbreviation.text(), "");
    EXPECT_EQ(source.Iens(), "");
    source.GetAndFill("1");
    EXPECT_FALSE(source.Last());
    EXPECT_EQ(name.text(), "");
    EXPECT_TRUE(source.RecordLines().isEmpty());
}

TEST_F(Reading, AFieldTheFormDoesNotCarryIsReadOnItsOwn) {
    source.GetAndFill("1");
    const std::size_t mark = CallMark();
    EXPECT_EQ(source.GetFieldText("7:2"), "FEB 10, 1953");
    EXPECT_EQ(source.GetFieldValue("2"), "Hemoglobin");
    const std::vector<test::LoggedCall> calls = CallsSince(mark);
    ASSERT_EQ(calls.size(), 1u) << "a field on the form is not read again";
    EXPECT_EQ(calls[0].Entry("\"FIELDS\""), "7:2;");
}

TEST_F(Reading, ARecordVisitedAgainMovesToTheHeadOfTheHistoryAndIsKeptOnce) {
    for (const char* record : {"1", "3", "5", "1"}) {
        source.GetAndFill(record);
        source.UpdateHistory();
    }
    ASSERT_EQ(source.History().size(), 5);
    EXPECT_EQ(source.History()[0].Iens, "1,");
    EXPECT_EQ(source.HistoryText(0), "HB Hemoglobin");
    EXPECT_EQ(source.History()[1].Iens, "5,");
    EXPECT_EQ(source.History()[2].Iens, "3,");
    EXPECT_EQ(source.HistoryText(3), "");
    source.GoToHistory(2);
    EXPECT_EQ(source.Iens(), "3,");
    EXPECT_EQ(source.History()[0].Iens, "3,");
}

TEST_F(Reading, AWordProcessingFieldOfThreeLinesIsFiledAndReadBackAsFiveLines) {
    source.GetAndFill("1");
    description.ChangeLines({"one", "", "three"});
    test::ExpectToolsetMessage(modal, ui::MessageKind::Information,
                               "Saved: Demo Lab Test: HB Hemoglobin\r\n");
    const std::size_t mark = CallMark();
    ASSERT_TRUE(source.Save());
    const std::vector<test::LoggedCall> calls = CallsSince(mark);
    const auto filer = std::find_if(calls.begin(), calls.end(),
                                    [](const auto& c) { return c.name == "DDR FILER"; });
    ASSERT_NE(filer, calls.end());
    EXPECT_EQ(filer->Entry("1", 1), "80001^100^1^DDRROOT(1)");
    EXPECT_EQ(filer->Entry("1,1", 1), "one");
    EXPECT_EQ(filer->Entry("1,2", 1), " ");
    EXPECT_EQ(filer->Entry("1,3", 1), "three");
    EXPECT_EQ(description.lines, (QStringList{"one", "", "three"}));
    EXPECT_EQ(source.RecordKeys().filter(QRegularExpression("^100")).size(), 5);
}

}  // namespace
}  // namespace vorn
