#include "demo/lab_test_form.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "broker/broker_error.h"
#include "broker/rpc_broker.h"
#include "toolkit/display_adjustment.h"
#include "toolkit/modal_seam.h"

namespace vorn {

TfrmLabTest::TfrmLabTest(const LabTestConnection& connection, QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmLabTest"));
    setWindowTitle(QStringLiteral("Demo lab test"));
    resize(720, 540);  // the form's design size

    RPCBroker1 = new TRPCBroker(this);
    RPCBroker1->setObjectName(QStringLiteral("RPCBroker1"));
    RPCBroker1->SetServer(connection.server);
    RPCBroker1->SetListenerPort(connection.port);
    RPCBroker1->SetClearParameters(true);
    RPCBroker1->SetClearResults(true);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Exit = file->addAction(QStringLiteral("E&xit"));
    file->addSeparator();
    for (int i = 0; i < 4; ++i) {
        Hist[i] = file->addAction(QString());
        Hist[i]->setObjectName(QStringLiteral("Hist%1").arg(i + 1));
        Hist[i]->setVisible(false);
    }

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    xPageCtrl1 = new QTabWidget(central);
    xPageCtrl1->setObjectName(QStringLiteral("xPageCtrl1"));
    TabSheetMaster = new QWidget(xPageCtrl1);
    TabSheetMaster->setObjectName(QStringLiteral("TabSheetMaster"));
    xPageCtrl1->addTab(TabSheetMaster, QStringLiteral("&1 Lab test"));
    layout->addWidget(xPageCtrl1);
    BtnExit = new QPushButton(QStringLiteral("E&xit"), central);
    BtnExit->setObjectName(QStringLiteral("BtnExit"));
    layout->addWidget(BtnExit, 0, Qt::AlignRight);
    setCentralWidget(central);
    connect(BtnExit, &QPushButton::clicked, this, [this] { BtnExitClick(); });

    FormCreate();
}

void TfrmLabTest::FormCreate() {
    contextCreated_ = false;
    AdjustFormToDisplay(*this);
    try {
        if (RPCBroker1->OpenAppContext(kDemoContext)) contextCreated_ = true;
    } catch (const EBrokerError&) {
        ui::Modal().ShowMessage(this, {QStringLiteral("Connection failed!"),
                                       QStringLiteral("Error"), ui::MessageKind::Error, ui::mbOK});
    }
}

void TfrmLabTest::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TfrmLabTest::FormShow() {
    if (!contextCreated_) {
        // Closing from inside the show would leave the window half shown; close right after.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    xPageCtrl1->setCurrentIndex(0);
}

bool TfrmLabTest::FormCloseQuery() {
    return true;
}

void TfrmLabTest::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
}

void TfrmLabTest::BtnExitClick() {
    close();
}

}  // namespace vorn
