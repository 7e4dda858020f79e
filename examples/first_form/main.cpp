// Your first form: the persons of the demo server, found, shown, browsed and edited.
//   vorn-first-form [--server HOST] [--port N]
//   vorn-first-form --check NAME [--screenshot FILE]   (no questions; see Unattended below)
#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <cstdio>

#include "person_form.h"
#include "vorn/broker/registry_settings.h"
#include "vorn/signon/signon_form_front.h"
#include "vorn/signon/widget_broker_ui.h"
#include "vorn/toolkit/modal_seam.h"

namespace {

// For a run without a user (--check): the sign-on codes come from VORN_CODES and every
// question is answered at once and written to standard error.
class Unattended final : public vorn::ui::ModalHost {
  public:
    Unattended() { vorn::ui::SetModalHost(this); }
    ~Unattended() override { vorn::ui::SetModalHost(nullptr); }
    int ShowMessage(QWidget*, const vorn::ui::MessageRequest& request) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(request.caption), qPrintable(request.text));
        return request.buttons & vorn::ui::mbYes ? vorn::ui::mrYes : vorn::ui::mrOk;
    }
    int ExecModal(QDialog& dialog) override {
        std::fprintf(stderr, "(%s answered)\n", qPrintable(dialog.windowTitle()));
        return QDialog::Accepted;
    }
    bool ChooseFont(QWidget*, QFont&) override { return false; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    bool PrinterSetup(QWidget*, QPrinter&) override { return false; }
};

// Finds NAME, prints the fields the form shows and how many rows the grid lists.
int Check(PersonForm& form, const QString& name, const QString& screenshot) {
    form.show();
    if (!form.Start() || !form.FindAndShow(name)) {
        std::fprintf(stderr, "no person %s\n", qPrintable(name));
        return 1;
    }
    QApplication::processEvents();
    std::printf("Name: %s\nDate of birth: %s\nTown of residence: %s\nGrid rows: %d\n",
                qPrintable(form.edtName->text()), qPrintable(form.edtBirth->text()),
                qPrintable(form.edtTown->text()), form.grdPersons->rowCount());
    if (!screenshot.isEmpty() && !form.grab().save(screenshot, "PNG")) return 1;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Persons"));
    // The broker's settings live where VORN_SETTINGS_DIR says, when it is set.
    vorn::UseSettingsFolderFromEnvironment();
    // The sign-on form and the broker's messages as windows.
    vorn::ui::InstallWidgetBrokerUi();
    vorn::InstallSignonForms();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Finds and edits the demo's persons."));
    parser.addHelpOption();
    const QCommandLineOption server(QStringLiteral("server"), QStringLiteral("Server host."),
                                    QStringLiteral("HOST"), QStringLiteral("localhost"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Listener port."),
                                  QStringLiteral("N"), QStringLiteral("9200"));
    const QCommandLineOption check(
        QStringLiteral("check"),
        QStringLiteral("Sign on with VORN_CODES (\"ACCESS;VERIFY\"), show the first person "
                       "whose name begins with NAME, print the form's fields and exit."),
        QStringLiteral("NAME"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("With --check: save the form as a PNG."),
                                        QStringLiteral("FILE"));
    parser.addOptions({server, port, check, screenshot});
    parser.process(app);

    Connection connection;
    connection.server = parser.value(server);
    connection.port = parser.value(port).toInt();
    if (parser.isSet(check)) {
        connection.presetCodes = QString::fromLocal8Bit(qgetenv("VORN_CODES"));
        Unattended unattended;
        PersonForm form(connection);
        return Check(form, parser.value(check), parser.value(screenshot));
    }
    PersonForm form(connection);
    form.show();
    if (!form.Start()) return 1;
    return QApplication::exec();
}
