#include "demo/secondary_form.h"

#include <QShowEvent>

#include "broker/rpc_broker.h"
#include "controls/bound_control_base.h"
#include "controls/vorn_btn.h"
#include "demo/lab_test_form.h"
#include "lookup/vorn_finder.h"
#include "output/vorn_print.h"
#include "source/vorn_source.h"
#include "toolkit/event_guard.h"

namespace vorn {

void SecondaryForm::reject() {
    bool mayClose = false;
    if (!ui::Guarded([&] { mayClose = FormCloseQuery(); }, this) || !mayClose) return;
    QDialog::reject();
}

void SecondaryForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored by the window system was shown already: only the program shows it.
    if (!event->spontaneous()) ui::Guarded([this] { FormShow(); }, this);
}

TRPCBroker* MakeBroker(QObject* owner, const LabTestConnection& connection) {
    auto* broker = new TRPCBroker(owner);
    broker->setObjectName(QStringLiteral("RPCBroker1"));
    broker->SetServer(connection.server);
    broker->SetListenerPort(connection.port);
    broker->SetClearParameters(true);
    broker->SetClearResults(true);
    broker->PresetCodes = connection.presetCodes;
    return broker;
}

TvornSource* MakeSource(QObject* owner, const char* name, const char* fileName, const char* file,
                        TRPCBroker* broker) {
    auto* source = new TvornSource(owner);
    source->setObjectName(QString::fromLatin1(name));
    source->FileName = QString::fromLatin1(fileName);
    source->FileNumber = QString::fromLatin1(file);
    source->FMIndex = QStringLiteral("B");
    source->FMIndexField = QStringLiteral(".01");
    source->SetUserAccess(kAllAccess);
    source->InformMessages = InformChange | InformDelete | InformInsert;
    source->DelPointerDisplay()->DispFiles = 6;
    source->DelPointerDisplay()->DispRecords = 2;
    source->DelPointerDisplay()->DispNoXRefs = 6;
    source->SetRPCBroker(broker);
    return source;
}

TvornFinder* MakeFinder(QObject* owner, const char* name, TRPCBroker* broker, const char* file,
                        const char* number) {
    auto* finder = new TvornFinder(owner);
    finder->setObjectName(QString::fromLatin1(name));
    finder->SetRPCBroker(broker);
    finder->FileNumber = QString::fromLatin1(file);
    finder->FMIndex = QStringLiteral("B");
    finder->Number = QString::fromLatin1(number);
    return finder;
}

TvornPrint* MakePrint(QObject* owner, TRPCBroker* broker) {
    auto* print = new TvornPrint(owner);
    print->setObjectName(QStringLiteral("vornPrint1"));
    print->FileExtension = QStringLiteral("txt");
    print->PrintDevices =
        TvornPrintDevices(pdScreen) | pdPrinter | pdFile | pdServerPrinter | pdWordProcessor;
    print->SetRPCBroker(broker);
    return print;
}

void Attach(TvornSource* source, std::initializer_list<BoundControlBase*> controls,
            std::initializer_list<TvornBtn*> buttons) {
    for (BoundControlBase* control : controls)
        control->SetvornSource(source);
    for (TvornBtn* button : buttons)
        button->SetvornSource(source);
}

void FocusAfterClick(std::initializer_list<TvornBtn*> buttons, QWidget* target) {
    for (TvornBtn* button : buttons)
        button->AfterClick = [target](QObject*) { FocusIfShowing(target); };
}

void FocusIfShowing(QWidget* widget) {
    if (widget->isVisible() && widget->isEnabled()) widget->setFocus();
}

QString StoredRecordNumber(const TvornSource& source) {
    return source.Address().IsStored() ? source.Address().Number() : QString();
}

}  // namespace vorn
