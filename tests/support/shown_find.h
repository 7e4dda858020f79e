#pragma once

// The find dialog a lookup has open, for programs that drive the forms as a user would.
#include <QApplication>

#include "lookup/find_dialog.h"

namespace vorn::test {

// The visible find dialog, or nullptr.
inline TfrmFind* ShownFind() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<TfrmFind*>(w); dialog && dialog->isVisible()) return dialog;
    return nullptr;
}

// Hides every find dialog a test left open, so that none is found by the next test.
inline void HideFindDialogs() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<TfrmFind*>(w)) w->hide();
}

}  // namespace vorn::test
