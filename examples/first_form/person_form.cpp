#include "person_form.h"

#include "vorn/broker/broker_error.h"
#include "vorn/broker/rpc_broker.h"
#include "vorn/controls/exec_button.h"
#include "vorn/lookup/vorn_finder.h"
#include "vorn/source/vorn_source.h"
#include "vorn/toolkit/component_loading.h"
#include "vorn/toolkit/modal_seam.h"

PersonForm::PersonForm(const Connection& connection, QWidget* parent) : QWidget(parent) {
    setupUi(this);

    // The components Designer cannot place: the broker and the data source of file 80000.
    broker = new vorn::TRPCBroker(this);
    broker->SetServer(connection.server);
    broker->SetListenerPort(connection.port);
    broker->PresetCodes = connection.presetCodes;

    persons = new vorn::TvornSource(this);
    persons->FileName = QStringLiteral("Demo Person");
    persons->FileNumber = QStringLiteral("80000");
    persons->FMIndex = QStringLiteral("B");
    persons->FMIndexField = QStringLiteral(".01");
    persons->SetRPCBroker(broker);

    // Every control, button and the grid of the form follows that source.
    findName->SetvornSource(persons);
    for (vorn::TvornEdit* edit : {edtName, edtBirth, edtTown})
        edit->SetvornSource(persons);
    for (vorn::TvornBtn* button :
         {btnSave, btnSaveAs, btnClear, btnDelete, btnFirst, btnPrior, btnNext, btnLast})
        button->SetvornSource(persons);
    grdPersons->SetvornSource(persons);
    // The find field's button, placed beside it.
    vorn::TvornExecBtn::CreateFor(*findName, false);

    // Qt has no "loaded" step: the components finish their set-up now, in the form's order.
    vorn::ui::LoadComponents(*this);
}

bool PersonForm::Start() {
    try {
        if (!broker->OpenAppContext(QStringLiteral("ZAZIRERO"))) return false;
    } catch (const vorn::EBrokerError& error) {
        vorn::ui::Modal().ShowMessage(this, {error.Message(), QStringLiteral("Connection failed"),
                                             vorn::ui::MessageKind::Error, vorn::ui::mbOK});
        return false;
    }
    // Opening lists the persons in the grid; the form stays empty until one is found or
    // clicked.
    persons->Open();
    findName->setFocus();
    return true;
}

bool PersonForm::FindAndShow(const QString& name) {
    // What the find field does when the user types a name and picks the first line.
    vorn::TvornFinder& finder = *findName->vornFinderForFind();
    // The field's own finder takes the source's broker at its first lookup; this one is now.
    finder.SetRPCBroker(broker);
    finder.FieldList = {QStringLiteral(".01")};
    finder.SetPart(name);
    finder.GetList();
    if (finder.Records.isEmpty()) return false;
    const QString record = finder.Records.first().section(QLatin1Char('^'), 0, 0);
    return persons->GetAndFill(record);
}
