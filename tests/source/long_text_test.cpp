// A word-processing text far longer than a message's five-digit count: the whole call goes out
// with its count wrapped, the server reads it by its structure, and the text comes back whole.
#include <gtest/gtest.h>

#include "tests/source/lab_test_source.h"

namespace vorn {
namespace {

class LongText : public test::LabTestSource {};

TEST_F(LongText, OfAbout150KilobytesIsFiledAndReadBack) {
    Open();
    source.ShowMessages = false;
    source.GetAndFill("1");
    QStringList text;
    for (int i = 0; i < 2000; ++i)
        text.append(QStringLiteral("Line %1 of a long description, ").arg(i, 4, 10, QChar(u'0')) +
                    QString(40, u'x'));
    const qsizetype bytes = text.join(QString()).size();
    ASSERT_GT(bytes, 140000);
    description.ChangeLines(text);
    const std::size_t mark = CallMark();
    ASSERT_TRUE(source.Save());
    const test::LoggedCall filer = CallsSince(mark).at(0);
    ASSERT_EQ(filer.name, "DDR FILER");
    EXPECT_EQ(filer.Entry("1,2000", 1), text.last().toStdString());

    description.lines.clear();
    source.GetAndFill("2");
    source.GetAndFill("1");
    EXPECT_EQ(description.lines, text);
}

}  // namespace
}  // namespace vorn
