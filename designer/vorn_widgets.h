// The Qt Designer plugin: every visual component of the toolkit in the widget box's "Vorn"
// group, with its published properties in the property editor. Forms made with it include the
// installed headers ("vorn/controls/vorn_edit.h") and link the package's libraries.
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <functional>
#include <memory>
#include <vector>

namespace vorn::designer {

// What Designer needs to know of one component.
struct Component {
    const char* className;  // with its namespace, as uic writes it: "vorn::TvornEdit"
    const char* header;     // the installed header: "vorn/controls/vorn_edit.h"
    const char* glyph;      // the palette glyph's resource name (controls/glyphs)
    const char* toolTip;
    QSize size;  // of a new one dropped on a form
    std::function<QWidget*(QWidget* parent)> create;
};

class ComponentWidget : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

  public:
    ComponentWidget(Component component, QObject* parent);

    QString name() const override;
    QString group() const override { return QStringLiteral("Vorn"); }
    QString toolTip() const override;
    QString whatsThis() const override { return toolTip(); }
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override;
    bool isInitialized() const override { return initialized_; }
    void initialize(QDesignerFormEditorInterface*) override { initialized_ = true; }
    QString domXml() const override;

  private:
    Component component_;
    bool initialized_ = false;
};

class VornWidgets : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

  public:
    explicit VornWidgets(QObject* parent = nullptr);
    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return widgets_; }

  private:
    QList<QDesignerCustomWidgetInterface*> widgets_;
};

}  // namespace vorn::designer
