// Demo lab test: start-up.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <memory>

#include "broker/registry_settings.h"
#include "demo/start_up.h"
#include "signon/signon_form_front.h"
#include "signon/widget_broker_ui.h"

int main(int argc, char** argv) {
    // --help and mistyped options must answer on a console with no display, so the options are
    // read under a core application before the widget application connects to one.
    auto core = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Demo lab test"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Demo lab test: edits lab tests on an M server."));
    parser.addHelpOption();
    const QCommandLineOption server(QStringLiteral("server"), QStringLiteral("Server host."),
                                    QStringLiteral("HOST"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Listener port."),
                                  QStringLiteral("N"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Sign on with the codes in VORN_CODES (\"ACCESS;VERIFY\"), start up, "
                       "render the main form into FILE (PNG) and exit."),
        QStringLiteral("FILE"));
    const QCommandLineOption select(QStringLiteral("select"),
                                    QStringLiteral("With --screenshot: find and show this lab "
                                                   "test first."),
                                    QStringLiteral("ABBREVIATION"));
    const QCommandLineOption tab(QStringLiteral("tab"),
                                 QStringLiteral("With --screenshot: render tab N (1 to 5)."),
                                 QStringLiteral("N"), QStringLiteral("1"));
    parser.addOptions({server, port, screenshot, select, tab});
    parser.process(*core);
    core.reset();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Demo lab test"));
    vorn::UseSettingsFolderFromEnvironment();
    vorn::ui::InstallWidgetBrokerUi();
    vorn::InstallSignonForms();

    vorn::LabTestConnection connection;
    if (parser.isSet(server)) connection.server = parser.value(server);
    if (parser.isSet(port)) connection.port = parser.value(port).toInt();
    if (parser.isSet(screenshot))
        connection.presetCodes = QString::fromLocal8Bit(qgetenv("VORN_CODES"));

    if (parser.isSet(screenshot)) {
        vorn::UnattendedAnswers unattended;
        vorn::LabTestForms forms = vorn::CreateForms(connection);
        const int page = parser.value(tab).toInt();
        if (page < 1 || page > 5) {
            std::fprintf(stderr, "vorn-labtest: --tab takes 1 to 5\n");
            return 2;
        }
        return vorn::TakeScreenshot(forms, parser.value(screenshot), parser.value(select), page);
    }
    vorn::LabTestForms forms = vorn::CreateForms(connection);
    forms.frmLabTest->show();
    return QApplication::exec();
}
