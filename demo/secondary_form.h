// What the demo's secondary forms share: a modal form that runs its show handler on every
// showing and closes only when its close query allows it, and the making of its broker, data
// sources and finders with the settings common to all of them.
#pragma once

#include <QDialog>
#include <QString>
#include <initializer_list>

#include "demo/page_rules.h"

namespace vorn {

class BoundControlBase;
class TRPCBroker;
class TvornBtn;
class TvornFinder;
class TvornPrint;
class TvornSource;
struct LabTestConnection;

class SecondaryForm : public QDialog {
    Q_OBJECT

  public:
    using QDialog::QDialog;

    // Escape, the Exit button and the close box all end here: the form closes only when its
    // close query allows it (changes left unsaved are asked about first).
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    // Runs each time the program shows the form.
    virtual void FormShow() = 0;
    // True when the form may close.
    virtual bool FormCloseQuery() = 0;
};

// A broker aimed where the main form's is: brokers on the same server and port share one link
// and one sign-on.
TRPCBroker* MakeBroker(QObject* owner, const LabTestConnection& connection);
// A data source with the settings every source of the secondary forms has: all rights, the
// results of changes, deletions and insertions reported, the pointer report's limits 6, 2, 6.
TvornSource* MakeSource(QObject* owner, const char* name, const char* fileName, const char* file,
                        TRPCBroker* broker);
TvornFinder* MakeFinder(QObject* owner, const char* name, TRPCBroker* broker, const char* file,
                        const char* number);
// The print component of the demo's forms: text documents to every destination the toolkit has.
TvornPrint* MakePrint(QObject* owner, TRPCBroker* broker);
void Attach(TvornSource* source, std::initializer_list<BoundControlBase*> controls,
            std::initializer_list<TvornBtn*> buttons);
// After each of `buttons` has done its operation, the focus goes to `target` when it can take
// it.
void FocusAfterClick(std::initializer_list<TvornBtn*> buttons, QWidget* target);
void FocusIfShowing(QWidget* widget);
// The number of the record the source shows, empty when it shows none or one not yet saved.
QString StoredRecordNumber(const TvornSource& source);

}  // namespace vorn
