// The application's help: one program-wide help file name, the help context numbers of forms
// and controls, and the request to show a topic. Showing the topic belongs to whoever knows a
// viewer for the file; the program installs a handler for that.
#pragma once

#include <QString>
#include <functional>

#pragma GCC visibility push(default)
class QWidget;

namespace vorn::ui {

// The help file of the application (kept as the "HelpFile" property of the application
// object, so every part of the program sees the same name). Empty when none is set.
QString ApplicationHelpFile();
void SetApplicationHelpFile(const QString& path);

// Sets the application's help file for as long as the object lives, then puts the previous
// name back.
class ScopedHelpFile {
  public:
    explicit ScopedHelpFile(const QString& path);
    ~ScopedHelpFile();
    ScopedHelpFile(const ScopedHelpFile&) = delete;
    ScopedHelpFile& operator=(const ScopedHelpFile&) = delete;

  private:
    QString saved_;
};

// The help context number of a form or control (the "HelpContext" property); 0 when none.
void SetHelpContext(QWidget& widget, int context);
int HelpContext(const QWidget& widget);

// Shows topic `context` of the application's help file through the installed handler; without
// a handler nothing is shown.
using HelpHandler = std::function<void(const QString& helpFile, int context)>;
void SetHelpHandler(HelpHandler handler);
void ShowHelp(int context);

}  // namespace vorn::ui

#pragma GCC visibility pop
