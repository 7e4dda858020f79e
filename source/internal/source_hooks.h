// What the concerns of a data source tell its form, and what they note on the operation under
// way: the form's Before* events (which may veto) and After* events with their signals, the
// checks of a field's value, and the refusals and unanswered calls that make the outcome.
#pragma once

#include <QString>
#include <QStringList>

#include "source/source_outcome.h"

namespace vorn {

// The moments a source tells its form about: each has its Before* event (that may veto) and its
// After* event with the signal of the same moment.
enum class SourceMoment { Clear, Delete, GetAndFill, Save, SaveAs, UpdateHistory, Insert };

class SourceHooks {
  public:
    // The Before* event of `moment`: false when the form vetoed.
    virtual bool Before(SourceMoment moment) = 0;
    // The After* event of `moment` (with `result` where it has one), then its signal.
    virtual void After(SourceMoment moment, bool result = true) = 0;
    virtual void BeforeValidate(bool& allow, QString& field, QString& value) = 0;
    virtual void AfterValidate(bool& result, const QString& field, QString& internal,
                               QString& external) = 0;

    // What the operation under way has come to so far.
    virtual const SourceOutcome& Outcome() const = 0;
    // The server (or the source itself) said no; `lines` are its reasons.
    virtual void Refused(const QStringList& lines = {}) = 0;
    // A call that may change the server goes out (true) or got its answer (false): a link that
    // fails in between leaves it unknown whether the server did it.
    virtual void CallOut(bool out) = 0;

  protected:
    ~SourceHooks() = default;
};

}  // namespace vorn
