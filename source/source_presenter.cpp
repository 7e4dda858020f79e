#include "source/source_presenter.h"

#include "source/timed_message.h"

namespace vorn {

void SourcePresenter::Error(const QString& text) {
    Show(text, ui::MessageKind::Error, ui::mbOK);
}

void SourcePresenter::Warning(const QString& text) {
    Show(text, ui::MessageKind::Warning, ui::mbOK);
}

void SourcePresenter::Information(const QString& text, int timeOut) {
    Show(text, ui::MessageKind::Information, ui::mbOK, timeOut);
}

bool SourcePresenter::YesOrCancel(const QString& text, int timeOut) {
    return Show(text, ui::MessageKind::Confirmation, ui::mbYes | ui::mbCancel, timeOut) ==
           ui::mrYes;
}

int DialogPresenter::Show(const QString& text, ui::MessageKind kind, int buttons, int timeOut) {
    return TimedMessageDlg(text, kind, buttons, timeOut);
}

SourcePresenter& DefaultSourcePresenter() {
    static DialogPresenter presenter;
    return presenter;
}

}  // namespace vorn
