// The person form: finds, shows and edits the persons of file 80000 (DEMO PERSON). Its look is
// person_form.ui, made in Qt Designer with the "Vorn" widgets; what Designer cannot place (the
// broker, the data source) and the wiring are here.
#pragma once

#include <QWidget>

#include "ui_person_form.h"

namespace vorn {
class TRPCBroker;
class TvornSource;
}  // namespace vorn

struct Connection {
    QString server = QStringLiteral("localhost");
    int port = 9200;
    // "ACCESS;VERIFY" to sign on without the sign-on form; empty: the form asks.
    QString presetCodes;
};

class PersonForm : public QWidget, public Ui::PersonForm {
    Q_OBJECT

  public:
    explicit PersonForm(const Connection& connection, QWidget* parent = nullptr);

    // Signs on, opens the application context and the data source; false when it could not.
    bool Start();
    // Shows the first person whose name begins with `name`; false when there is none.
    bool FindAndShow(const QString& name);

    vorn::TRPCBroker* broker;
    vorn::TvornSource* persons;
};
