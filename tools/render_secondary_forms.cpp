// Renders the demo's secondary forms as the main form's entry points show them, each page with
// a record of the demo data, into the folder given (person-form.png, person-form-patient.png,
// unit-form.png, unit-form-patients.png, lab-result-form.png, subresult-form.png and
// subresult-form-codes.png), against a development server of its own.
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <cstdio>
#include <functional>

#include "broker/broker_ui.h"
#include "demo/start_up.h"
#include "source/vorn_source.h"
#include "tests/support/dev_server_process.h"
#include "tests/support/silent_broker_ui.h"

namespace {

// Answers every modal interaction at once; a form shown modally is drawn, one picture a page,
// and closed.
class Camera final : public vorn::ui::ModalHost {
  public:
    explicit Camera(QDir folder) : folder_(std::move(folder)) { vorn::ui::SetModalHost(this); }
    ~Camera() override { vorn::ui::SetModalHost(nullptr); }

    // The next form shown is drawn into these files, one a page, after `prepare` has run.
    void Expect(QStringList files, std::function<void()> prepare = {}) {
        files_ = std::move(files);
        prepare_ = std::move(prepare);
    }
    bool ok = true;

    int ShowMessage(QWidget*, const vorn::ui::MessageRequest& request) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return request.buttons & vorn::ui::mbYes ? vorn::ui::mrYes : vorn::ui::mrOk;
    }
    int ExecModal(QDialog& dialog) override {
        const QStringList files = std::exchange(files_, {});
        dialog.show();
        QApplication::processEvents();
        if (const auto prepare = std::exchange(prepare_, {})) prepare();
        auto* pages = dialog.findChild<QTabWidget*>(QStringLiteral("xPageCtrl1"));
        for (int page = 0; page < files.size(); ++page) {
            if (pages) pages->setCurrentIndex(page);
            QApplication::processEvents();
            const QString path = folder_.filePath(files[page]);
            const bool saved = dialog.grab().save(path);
            std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "could not write",
                         qPrintable(path));
            ok = ok && saved && (!pages || pages->currentIndex() == page);
        }
        dialog.hide();
        return QDialog::Rejected;
    }
    bool ChooseFont(QWidget*, QFont&) override { return false; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    bool PrinterSetup(QWidget*, QPrinter&) override { return false; }

  private:
    QDir folder_;
    QStringList files_;
    std::function<void()> prepare_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorn_render_secondary_forms FOLDER\n");
        return 2;
    }
    vorn::test::SilentBrokerUi quiet;
    vorn::SetBrokerUi(&quiet);
    vorn::test::DevServerProcess server;
    Camera camera{QDir(QString::fromLocal8Bit(argv[1]))};
    vorn::LabTestForms forms = vorn::CreateForms(
        {QStringLiteral("127.0.0.1"), server.Port(), QStringLiteral("DEMO;DEMO.1234")});
    vorn::TfrmLabTest& main = *forms.frmLabTest;
    main.show();
    QApplication::processEvents();
    if (!main.ContextCreated()) return 1;

    camera.Expect({QStringLiteral("person-form.png"), QStringLiteral("person-form-patient.png")});
    forms.frmPerson->Zoom(QStringLiteral("1"));
    camera.Expect({QStringLiteral("unit-form.png"), QStringLiteral("unit-form-patients.png")},
                  [&] { forms.frmUnit->vornSource1->GetAndFill(QStringLiteral("1")); });
    forms.frmUnit->Browse();

    // As the main form's zooms do: the forms' sources follow the lab test shown there.
    const auto follow = [&](vorn::TvornSource& source, const char* labTest,
                            vorn::TvornSubFileType type) {
        main.vornSource1->GetAndFill(QString::fromLatin1(labTest));
        source.Close();
        source.SetMasterSource(main.vornSource1);
        source.TypeIfSubFile = type;
        source.LinkField = QStringLiteral("2");
    };
    follow(*forms.frmLabResult->vornSource1, "1", vorn::TvornSubFileType::Logical);
    camera.Expect({QStringLiteral("lab-result-form.png")});
    forms.frmLabResult->Zoom(QStringLiteral("57"));
    follow(*forms.frmSubresult->vornSource1, "35", vorn::TvornSubFileType::Hierarchical);
    camera.Expect(
        {QStringLiteral("subresult-form.png"), QStringLiteral("subresult-form-codes.png")});
    forms.frmSubresult->Zoom(QStringLiteral("1"));
    vorn::SetBrokerUi(nullptr);
    return camera.ok ? 0 : 1;
}
