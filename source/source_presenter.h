// How a data source talks to the user. Every question and every message of the engine goes
// through the source's presenter; the default shows the toolset's message dialog, so a form
// (or a test) that wants the engine's messages elsewhere sets a presenter of its own.
#pragma once

#include <QString>

#include "toolkit/modal_seam.h"

#pragma GCC visibility push(default)
namespace vorn {

class SourcePresenter {
  public:
    virtual ~SourcePresenter() = default;

    // Shows `text` as a message of `kind` with `buttons` (a set of ui::MessageButton) and
    // returns the button pressed (a ui::ModalResult), or ui::mrNone when the `timeOut`
    // seconds (0: no countdown) ran out first.
    virtual int Show(const QString& text, ui::MessageKind kind, int buttons, int timeOut = 0) = 0;

    // The shapes the engine's messages take.
    void Error(const QString& text);
    void Warning(const QString& text);
    void Information(const QString& text, int timeOut = 0);
    // Yes and Cancel: true only for Yes.
    bool YesOrCancel(const QString& text, int timeOut = 0);
};

// The toolset's message dialog (TimedMessageDlg), answered through the modal seam like every
// modal interaction of the toolkit.
class DialogPresenter final : public SourcePresenter {
  public:
    int Show(const QString& text, ui::MessageKind kind, int buttons, int timeOut = 0) override;
};

// The presenter of a source that was given none, and of the toolset's other components.
SourcePresenter& DefaultSourcePresenter();

}  // namespace vorn

#pragma GCC visibility pop
