#include "toolkit/internal/help_file.h"

#include <QCoreApplication>
#include <QVariant>
#include <QWidget>

namespace vorn::ui {
namespace {

constexpr const char* kHelpFileProperty = "HelpFile";
constexpr const char* kHelpContextProperty = "HelpContext";

HelpHandler& Handler() {
    static HelpHandler handler;
    return handler;
}

}  // namespace

QString ApplicationHelpFile() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app ? app->property(kHelpFileProperty).toString() : QString();
}

void SetApplicationHelpFile(const QString& path) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->setProperty(kHelpFileProperty, path);
}

ScopedHelpFile::ScopedHelpFile(const QString& path) : saved_(ApplicationHelpFile()) {
    SetApplicationHelpFile(path);
}

ScopedHelpFile::~ScopedHelpFile() {
    SetApplicationHelpFile(saved_);
}

void SetHelpContext(QWidget& widget, int context) {
    widget.setProperty(kHelpContextProperty, context);
}

int HelpContext(const QWidget& widget) {
    return widget.property(kHelpContextProperty).toInt();
}

void SetHelpHandler(HelpHandler handler) {
    Handler() = std::move(handler);
}

void ShowHelp(int context) {
    if (Handler()) Handler()(ApplicationHelpFile(), context);
}

}  // namespace vorn::ui
