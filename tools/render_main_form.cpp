// Renders the demo's main form as the README's walk-through shows it, against a development
// server of its own, into the folder given: main-form.png (HB found), tab-wards.png,
// tab-test-results.png and tab-subresults.png (U-STIX), tab-result-codes.png (HIV-AB), and the
// message dialog with a short text (message-short.png: leaving tab 1 without a record) and a
// long one (message-long.png: deleting a lab test that results point to).
// With "scale2" it draws the main form on a screen of scale factor 2 instead:
// main-form-scale2.png.
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "broker/broker_ui.h"
#include "demo/start_up.h"
#include "source/timed_dialog.h"
#include "source/vorn_source.h"
#include "tests/support/dev_server_process.h"
#include "tests/support/silent_broker_ui.h"
#include "toolkit/modal_seam.h"

namespace {

bool Save(QWidget& widget, const QString& path) {
    QApplication::processEvents();
    const bool saved = widget.grab().save(path, "PNG");
    std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "could not write",
                 qPrintable(path));
    return saved;
}

// Answers every modal interaction: a message dialog is drawn into the file expected, if any,
// and answered with its first button; anything else is closed.
class Camera final : public vorn::ui::ModalHost {
  public:
    Camera() { vorn::ui::SetModalHost(this); }
    ~Camera() override { vorn::ui::SetModalHost(nullptr); }
    QString next;
    bool ok = true;

    int ShowMessage(QWidget*, const vorn::ui::MessageRequest&) override { return vorn::ui::mrOk; }
    int ExecModal(QDialog& dialog) override {
        dialog.show();
        if (const QString file = std::exchange(next, {}); !file.isEmpty())
            ok = Save(dialog, file) && ok;
        dialog.hide();
        // A question is left unanswered: nothing is deleted or saved for a picture.
        return qobject_cast<vorn::TTimedDlg*>(&dialog) ? int(vorn::ui::mrCancel)
                                                       : int(QDialog::Rejected);
    }
    bool ChooseFont(QWidget*, QFont&) override { return false; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    bool PrinterSetup(QWidget*, QPrinter&) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    const bool scale2 = argc == 3 && QByteArray(argv[2]) == "scale2";
    if (scale2) qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    if (argc != 2 && !scale2) {
        std::fprintf(stderr, "usage: vorn_render_main_form FOLDER [scale2]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    vorn::test::SilentBrokerUi quiet;
    vorn::SetBrokerUi(&quiet);
    vorn::test::DevServerProcess server;
    Camera camera;
    vorn::LabTestForms forms = vorn::CreateForms(
        {QStringLiteral("127.0.0.1"), server.Port(), QStringLiteral("DEMO;DEMO.1234")});
    vorn::TfrmLabTest& main = *forms.frmLabTest;
    main.show();
    QApplication::processEvents();
    if (!main.ContextCreated()) return 1;

    const auto show = [&](const char* abbreviation, int tab, const char* file) {
        const QString record = vorn::FindLabTest(main, QString::fromLatin1(abbreviation));
        if (record.isEmpty() || !main.vornSource1->GetAndFill(record)) return false;
        main.vornSource1->UpdateHistory();
        main.xPageCtrl1->setCurrentIndex(tab - 1);
        return main.xPageCtrl1->currentIndex() == tab - 1 &&
               Save(main, folder.filePath(QString::fromLatin1(file)));
    };
    bool ok = true;
    if (scale2) {
        ok = show("HB", 1, "main-form-scale2.png");
    } else {
        camera.next = folder.filePath(QStringLiteral("message-short.png"));
        main.xPageCtrl1->setCurrentIndex(1);  // "Choose or save a record first!"
        ok = camera.ok && main.xPageCtrl1->currentIndex() == 0;
        ok = show("U-STIX", 2, "tab-wards.png") && ok;
        ok = show("HIV-AB", 3, "tab-result-codes.png") && ok;
        ok = show("U-STIX", 4, "tab-test-results.png") && ok;
        ok = show("U-STIX", 5, "tab-subresults.png") && ok;
        main.xPageCtrl1->setCurrentIndex(0);
        ok = show("HB", 1, "main-form.png") && ok;
        // The lab results that point to HB are listed, and nothing is deleted.
        camera.next = folder.filePath(QStringLiteral("message-long.png"));
        main.vornSource1->Delete();
        ok = ok && camera.ok && camera.next.isEmpty();
    }
    vorn::SetBrokerUi(nullptr);
    return ok ? 0 : 1;
}
