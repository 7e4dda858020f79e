// Renders the sign-on form as a user first sees it (the server's introduction, the demo codes
// in it) into a PNG, for the documentation, against a development server of its own:
//   QT_QPA_PLATFORM=offscreen vorn_render_signon_form <source dir>/docs/signon-form.png
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "broker/rpc_broker.h"
#include "signon/internal/code_edit.h"
#include "signon/internal/signon_form.h"
#include "signon/signon_form_front.h"
#include "tests/support/dev_server_process.h"
#include "toolkit/modal_seam.h"

namespace {

// Shows each modal form, renders the sign-on form, then signs on as DEMO.
class Rendering final : public vorn::ui::ModalHost {
  public:
    explicit Rendering(QString file) : file_(std::move(file)) { vorn::ui::SetModalHost(this); }
    ~Rendering() override { vorn::ui::SetModalHost(nullptr); }
    int ShowMessage(QWidget*, const vorn::ui::MessageRequest&) override { return vorn::ui::mrOk; }
    int ExecModal(QDialog& dialog) override {
        dialog.show();
        QApplication::processEvents();
        if (auto* form = qobject_cast<vorn::TfrmSignon*>(&dialog)) {
            rendered = dialog.grab().save(file_, "PNG");
            QTest::keyClicks(form->accessCode, QStringLiteral("demo"));
            QTest::keyClicks(form->verifyCode, QStringLiteral("demo.1234"));
            form->btnOk->click();
        } else {
            dialog.accept();
        }
        return dialog.result();
    }
    bool ChooseFont(QWidget*, QFont&) override { return false; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    bool PrinterSetup(QWidget*, QPrinter&) override { return false; }
    bool rendered = false;

  private:
    QString file_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorn_render_signon_form FILE.png\n");
        return 2;
    }
    vorn::InstallSignonForms();
    Rendering rendering(QString::fromLocal8Bit(argv[1]));
    vorn::test::DevServerProcess server;
    vorn::TRPCBroker broker;
    broker.SetServer(QStringLiteral("127.0.0.1"));
    broker.SetListenerPort(server.Port());
    broker.SetConnected(true);
    return rendering.rendered ? 0 : 1;
}
