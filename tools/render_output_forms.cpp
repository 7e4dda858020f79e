// Renders the device dialog (every destination offered), the preview of a lab test report and
// the help window as F1 in a lab test's field opens it, as device-dialog.png, print-preview.png
// and help-window.png in the folder given, against a development server of its own.
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPixmap>
#include <QTextCursor>
#include <cstdio>

#include "broker/broker_ui.h"
#include "broker/rpc_broker.h"
#include "controls/vorn_edit.h"
#include "output/help_window.h"
#include "output/internal/print_form.h"
#include "output/internal/print_requests.h"
#include "output/internal/sel_dev_form.h"
#include "output/vorn_report.h"
#include "source/internal/message_broker.h"
#include "source/vorn_source.h"
#include "tests/support/dev_server_process.h"
#include "tests/support/silent_broker_ui.h"
#include "toolkit/component_loading.h"

namespace {

bool Save(QWidget& form, const QString& path) {
    form.show();
    QApplication::processEvents();
    const bool saved = form.grab().save(path);
    std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "could not write",
                 qPrintable(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorn_render_output_forms FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    vorn::test::SilentBrokerUi quiet;
    vorn::SetBrokerUi(&quiet);
    vorn::test::DevServerProcess server;
    vorn::TRPCBroker broker;
    broker.SetServer(QStringLiteral("127.0.0.1"));
    broker.SetListenerPort(server.Port());
    broker.PresetCodes = QStringLiteral("DEMO;DEMO.1234");
    if (!broker.OpenAppContext(QStringLiteral("ZAZIRERO"))) return 1;
    vorn::SetMessageBroker(&broker);

    vorn::TfrmSelDev devices;
    devices.SetBroker(&broker);
    devices.Setup(vorn::kDefaultPrintDevices | vorn::pdExcel);
    bool ok = Save(devices, folder.filePath(QStringLiteral("device-dialog.png")));

    vorn::TvornReport report;
    report.SetRPCBroker(&broker);
    report.FileNumber = QStringLiteral("80001");
    // As Print / Chosen lab test sends it with HB shown (lab test 1).
    report.FieldNumbers = QStringList{QStringLiteral("<CAPTIONED>")};
    report.By = QStringLiteral("NUMBER=1");
    report.Run();
    vorn::output::DocumentPaging paging;
    while (paging.Take(vorn::output::ReadPageAnswer(
        broker.Call(vorn::output::PageRequest(report.DocumentHandle()))))) {
    }
    vorn::TfrmPrint preview(&broker);
    preview.SetupForm(vorn::kDefaultPrintDevices, QStringLiteral("txt"));
    preview.SetLines(paging.Lines());
    preview.resize(760, 460);
    ok = Save(preview, folder.filePath(QStringLiteral("print-preview.png"))) && ok;

    vorn::InstallHelpWindow();
    QWidget form;
    auto* source = new vorn::TvornSource(&form);
    source->FileNumber = QStringLiteral("80001");
    source->SetRPCBroker(&broker);
    auto* edit = new vorn::TvornEdit(&form);
    edit->SetFMField(QStringLiteral("7"));
    edit->SetFMDisplayName(QStringLiteral("Person in charge"));
    edit->SetvornSource(source);
    vorn::ui::LoadComponents(form);
    source->Open();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(edit, &f1);
    if (vorn::TvornHelpFrm* help = vorn::HelpWindow()) {
        help->resize(460, 200);
        ok = Save(*help, folder.filePath(QStringLiteral("help-window.png"))) && ok;
    } else {
        ok = false;
    }
    vorn::SetMessageBroker(nullptr);
    vorn::SetBrokerUi(nullptr);
    return ok ? 0 : 1;
}
