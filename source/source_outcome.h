// What an operation of a data source came to. Each operation (saving, deleting, locking, a
// field's check) leaves one outcome on its source, readable as TvornSource::LastOutcome() and
// sent with TvornSource::OutcomeReached: the one place where a form learns why an operation
// did not happen, whatever the messages the source showed about it.
#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

#pragma GCC visibility push(default)
namespace vorn {

enum class SourceOperation { None, Save, SaveAs, Delete, Lock, Unlock, Validate, LeaveRecord };

struct SourceOutcome {
    enum Kind {
        Done,       // it happened
        Refused,    // the server (or a check before the call) said no; `lines` says why
        Cancelled,  // the user, a Before* event or the state stopped it before any change
        Failed,     // an error ended it; `error` is its text
    };
    SourceOperation operation = SourceOperation::None;
    Kind kind = Done;
    // Refused: the server's lines, as it said them; empty when it gave no reason.
    QStringList lines;
    // Failed: the error's text.
    QString error;
    // Failed: the call went out and its link failed before the answer, so whether the server
    // did it is not known. The server does one call whole or not at all.
    bool unanswered = false;

    bool IsDone() const { return kind == Done; }
};

// A field value as the server's validator answered it.
struct ValidatedValue {
    bool valid = false;
    QString internal;    // the value to file
    QString external;    // the value to show
    QStringList errors;  // the validator's reasons when it refused
};

}  // namespace vorn

Q_DECLARE_METATYPE(vorn::SourceOutcome)

#pragma GCC visibility pop
