// A logical detail (departmental lab tests, file 80006, pointing to the lab test by field 2)
// browses the records of its master's record through the link screen the server's location of
// the link field gives.
#include <gtest/gtest.h>

#include "tests/source/lab_test_source.h"

namespace vorn {
namespace {

class LogicalDetail : public test::LabTestSource {
  protected:
    LogicalDetail() {
        detail.setObjectName("vornSource2");
        detail.FileNumber = "80006";
        detail.FileName = "Departmental lab test";
        detail.TypeIfSubFile = TvornSubFileType::Logical;
        detail.LinkField = "2";
        detail.FMIndex = "C";
        detail.SetMasterSource(&source);
    }
    TvornSource detail;
    test::FakeBoundControl ward{detail, ".01", &form};
};

TEST_F(LogicalDetail, BrowsesWithTheMastersRecordAndTheLinkScreen) {
    Open();
    detail.SetRPCBroker(&Broker());
    detail.Loaded();
    detail.Open();
    EXPECT_EQ(detail.State(), ssEmpty) << "the master shows no record yet";
    const std::size_t mark = CallMark();
    ASSERT_TRUE(source.GetAndFill("12"));
    const std::vector<test::LoggedCall> calls = CallsSince(mark);
    const auto location = std::find_if(calls.begin(), calls.end(),
                                       [](const auto& c) { return c.name == "VRNX DDU LOCATION"; });
    ASSERT_NE(location, calls.end());
    EXPECT_EQ(location->Entry("1"), "80006");
    EXPECT_EQ(location->Entry("2"), "2");
    const test::LoggedCall& first = *std::next(location);
    EXPECT_EQ(first.name, "DDR LISTER");
    EXPECT_EQ(first.Entry("\"FILE\""), "80006");
    EXPECT_EQ(first.Entry("\"FIELDS\""), "2");
    EXPECT_EQ(first.Entry("\"FLAGS\""), "I");
    EXPECT_EQ(first.Entry("\"PART\""), "12");
    EXPECT_EQ(first.Entry("\"SCREEN\""), "I 12=$P($G(^(0)),U,2)");
    EXPECT_EQ(first.Entry("\"XREF\""), "C");
    EXPECT_EQ(detail.State(), ssBrowse);
    EXPECT_EQ(detail.GetFieldValue("2"), "12") << "its first record points to the master's";

    source.Clear();
    EXPECT_EQ(detail.State(), ssNoMaster);
}

}  // namespace
}  // namespace vorn
