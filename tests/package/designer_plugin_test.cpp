// The Designer plugin as Designer sees it: loaded from its file, every component in the "Vorn"
// group with an icon, an installed header and its published properties; and the example's
// form, made with it, built through it as Designer's form loader does.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QSet>
#include <QUiLoader>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <map>
#include <memory>

namespace {

const QStringList kBound = {"FMField", "FMDisplayName", "vornSource"};
const QStringList kEditable = kBound + QStringList{"FMRequired", "FMHelpUsed", "ShowHint"};

// Each component with the published properties a form sets on it.
const std::map<QString, QStringList>& Expected() {
    static const std::map<QString, QStringList> expected = {
        {"vorn::TvornEdit", kEditable + QStringList{"DefaultValue"}},
        {"vorn::TvornCheckBox",
         kEditable + QStringList{"ValueChecked", "ValueUnchecked", "DefaultChecked"}},
        {"vorn::TvornComboBox", kEditable + QStringList{"Values", "DefaultItemIndex"}},
        {"vorn::TvornComboBoxLookUp", kEditable + QStringList{"vornFinder", "FieldNumber"}},
        {"vorn::TvornListBox", kEditable + QStringList{"vornFinder", "FieldNumber"}},
        {"vorn::TvornMemo", kEditable + QStringList{"vornFinder"}},
        {"vorn::TvornRadioButton", kEditable + QStringList{"ValueChecked"}},
        {"vorn::TvornRadioGroup", kEditable + QStringList{"Values"}},
        {"vorn::TvornLabel", kBound},
        {"vorn::TvornDialogEdit",
         kBound + QStringList{"FMIsFindField", "FMIsPointerField", "FindOnly", "VisibleButtons",
                              "FieldsForFind", "FieldsForPointer", "SortField", "SortOrder",
                              "SortClick", "FormCaption", "ExecIfOneMatch"}},
        {"vorn::TvornExecBtn", {"StayNearEdit", "HasGlyph", "TabStop"}},
        {"vorn::TvornBtn", {"Operation", "AlwaysDisabled", "vornSource", "HasGlyph"}},
        {"vorn::TvornGrid",
         {"Fields", "vornSource", "vornFinder", "Number", "Sorted", "SortField", "SortOrder"}},
        {"vorn::TvornDeviceDialogHolder",
         {"PrintDevices", "PrintDefault", "FileExtension", "SaveFile"}},
    };
    return expected;
}

QStringList PropertiesOf(const QWidget& widget) {
    QStringList names;
    const QMetaObject* meta = widget.metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i)
        names << QString::fromLatin1(meta->property(i).name());
    return names;
}

class DesignerPlugin : public ::testing::Test {
  protected:
    void SetUp() override {
        const QDir folder(QStringLiteral(VORN_PLUGIN_FOLDER "/designer"));
        const QStringList files = folder.entryList({QStringLiteral("*.so")}, QDir::Files);
        ASSERT_EQ(files.size(), 1) << "the plugin in " << qPrintable(folder.path());
        loader_.setFileName(folder.filePath(files.first()));
        auto* collection =
            qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader_.instance());
        ASSERT_NE(collection, nullptr) << qPrintable(loader_.errorString());
        widgets_ = collection->customWidgets();
    }

    QPluginLoader loader_;
    QList<QDesignerCustomWidgetInterface*> widgets_;
};

TEST_F(DesignerPlugin, OffersEveryComponentInTheVornGroupWithItsProperties) {
    QSet<QString> offered;
    for (QDesignerCustomWidgetInterface* widget : widgets_) {
        const QString name = widget->name();
        SCOPED_TRACE(name.toStdString());
        offered.insert(name);
        EXPECT_EQ(widget->group(), QStringLiteral("Vorn"));
        EXPECT_FALSE(widget->icon().isNull());
        EXPECT_TRUE(widget->includeFile().startsWith(QStringLiteral("vorn/")));
        EXPECT_TRUE(widget->domXml().contains(QStringLiteral("class=\"%1\"").arg(name)));

        const std::unique_ptr<QWidget> made(widget->createWidget(nullptr));
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(QString::fromLatin1(made->metaObject()->className()), name);
        const auto expected = Expected().find(name);
        ASSERT_NE(expected, Expected().end()) << "a component the test does not know";
        const QStringList properties = PropertiesOf(*made);
        for (const QString& property : expected->second)
            EXPECT_TRUE(properties.contains(property)) << property.toStdString();
    }
    EXPECT_EQ(offered.size(), static_cast<qsizetype>(Expected().size()));
}

TEST_F(DesignerPlugin, BuildsTheExampleFormWithItsComponents) {
    QUiLoader uiLoader;
    uiLoader.clearPluginPaths();
    uiLoader.addPluginPath(QStringLiteral(VORN_PLUGIN_FOLDER "/designer"));
    QFile file(QStringLiteral(VORN_EXAMPLE_FORM));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::unique_ptr<QWidget> form(uiLoader.load(&file));
    ASSERT_NE(form, nullptr) << qPrintable(uiLoader.errorString());

    auto* find = form->findChild<QWidget*>(QStringLiteral("findName"));
    ASSERT_NE(find, nullptr);
    EXPECT_STREQ(find->metaObject()->className(), "vorn::TvornDialogEdit");
    EXPECT_TRUE(find->property("FMIsFindField").toBool());
    EXPECT_EQ(find->property("FMField").toString(), QStringLiteral(".01"));
    auto* town = form->findChild<QWidget*>(QStringLiteral("edtTown"));
    ASSERT_NE(town, nullptr);
    EXPECT_EQ(town->property("FMField").toString(), QStringLiteral("3"));
    auto* grid = form->findChild<QWidget*>(QStringLiteral("grdPersons"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->property("Fields").toStringList().size(), 3);
}

}  // namespace
