// Demo lab test: start-up.
#include <QApplication>
#include <QCommandLineParser>

#include "broker/registry_settings.h"
#include "demo/lab_test_form.h"
#include "signon/signon_form_front.h"
#include "signon/widget_broker_ui.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Demo lab test"));
    vorn::UseSettingsFolderFromEnvironment();
    vorn::ui::InstallWidgetBrokerUi();
    vorn::InstallSignonForms();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Demo lab test: edits lab tests on an M server."));
    parser.addHelpOption();
    const QCommandLineOption server(QStringLiteral("server"), QStringLiteral("Server host."),
                                    QStringLiteral("HOST"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Listener port."),
                                  QStringLiteral("N"));
    parser.addOption(server);
    parser.addOption(port);
    parser.process(app);

    vorn::LabTestConnection connection;
    if (parser.isSet(server)) connection.server = parser.value(server);
    if (parser.isSet(port)) connection.port = parser.value(port).toInt();

    vorn::TfrmLabTest main(connection);
    main.show();
    return QApplication::exec();
}
