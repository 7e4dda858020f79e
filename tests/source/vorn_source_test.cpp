// The data source against the development server.
#include "source/vorn_source.h"

#include <gtest/gtest.h>

#include "tests/support/fake_bound_control.h"
#include "tests/support/source_fixture.h"

namespace vorn {
namespace {

using test::FakeBoundControl;

class Source : public test::SourceServer {
  protected:
    Source() {
        source.setObjectName(QStringLiteral("vornSource1"));
        source.FileName = QStringLiteral("Demo Lab Test");
        source.FileNumber = QStringLiteral("80001");
    }
    void Open() {
        source.SetRPCBroker(&Broker());
        source.Loaded();
        source.Open();
    }
    QWidget form;
    TvornSource source;
    FakeBoundControl abbreviation{source, QStringLiteral(".01"), &form, true};
    FakeBoundControl name{source, QStringLiteral("2"), &form, true};
};

TEST_F(Source, ReadsARecordAndBrowses) {
    Open();
    EXPECT_EQ(source.State(), ssEmpty);
    ASSERT_TRUE(source.GetAndFill(QStringLiteral("1")));
    EXPECT_EQ(source.State(), ssBrowse);
    EXPECT_EQ(source.Iens(), "1,");
    EXPECT_FALSE(abbreviation.text().isEmpty());
    const QString first = abbreviation.text();
    EXPECT_TRUE(source.Next());
    EXPECT_NE(abbreviation.text(), first);
    EXPECT_TRUE(source.Prior());
    EXPECT_EQ(abbreviation.text(), first);
}

TEST_F(Source, SavesAChangedField) {
    Open();
    ASSERT_TRUE(source.GetAndFill(QStringLiteral("1")));
    test::ExpectToolsetMessage(modal, ui::MessageKind::Information,
                               QStringLiteral("Saved: Demo Lab Test: ") + abbreviation.text() +
                                   QStringLiteral(" Changed name\r\n"));
    name.Change(QStringLiteral("Changed name"), QStringLiteral("Changed name"));
    EXPECT_EQ(source.State(), ssEdit);
    EXPECT_TRUE(source.Save());
    EXPECT_EQ(source.State(), ssBrowse);
    EXPECT_EQ(name.text(), "Changed name");
}

}  // namespace
}  // namespace vorn
