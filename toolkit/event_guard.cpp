#include "toolkit/event_guard.h"

#include <exception>

#include "toolkit/modal_seam.h"

namespace vorn::ui {

void ShowErrorMessage(const QString& text, QWidget* parent) {
    Modal().ShowMessage(parent, {text, ApplicationTitle(), MessageKind::Error, mbOK});
}

bool Guarded(const std::function<void()>& handler, QWidget* parent) {
    QString failure;
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        failure = QString::fromStdString(e.what());
    } catch (...) {
        failure = kUnknownFailure;
    }
    // Shown outside the handler's catch, so that whatever the display does, no exception is
    // still being handled while it runs.
    try {
        ShowErrorMessage(failure, parent);
    } catch (...) {
        // The error display itself failed: there is nobody left to tell.
    }
    return false;
}

}  // namespace vorn::ui
