#include "toolkit/help_file.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

namespace vorn::ui {
namespace {

TEST(HelpFile, IsOneSettingOfTheApplication) {
    SetApplicationHelpFile("labtest.hlp");
    EXPECT_EQ(ApplicationHelpFile(), "labtest.hlp");
    EXPECT_EQ(qApp->property("HelpFile").toString(), "labtest.hlp");
    {
        ScopedHelpFile agent("/opt/zizedez/zizedez.hlp");
        EXPECT_EQ(ApplicationHelpFile(), "/opt/zizedez/zizedez.hlp");
        {
            ScopedHelpFile inner("other.hlp");
            EXPECT_EQ(ApplicationHelpFile(), "other.hlp");
        }
        EXPECT_EQ(ApplicationHelpFile(), "/opt/zizedez/zizedez.hlp");
    }
    EXPECT_EQ(ApplicationHelpFile(), "labtest.hlp");
    SetApplicationHelpFile({});
}

TEST(HelpFile, ContextsBelongToTheirWidgets) {
    QWidget form;
    QWidget button(&form);
    EXPECT_EQ(HelpContext(form), 0);
    SetHelpContext(form, 2);
    SetHelpContext(button, 4);
    EXPECT_EQ(HelpContext(form), 2);
    EXPECT_EQ(HelpContext(button), 4);
}

TEST(HelpFile, ShowingATopicGoesToTheInstalledHandler) {
    ShowHelp(1);  // nothing installed: nothing happens
    std::vector<std::pair<QString, int>> shown;
    SetHelpHandler([&](const QString& file, int context) { shown.emplace_back(file, context); });
    SetApplicationHelpFile("labtest.hlp");
    ShowHelp(7);
    SetHelpHandler(nullptr);
    ShowHelp(8);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, "labtest.hlp");
    EXPECT_EQ(shown[0].second, 7);
    SetApplicationHelpFile({});
}

}  // namespace
}  // namespace vorn::ui
