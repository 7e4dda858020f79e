#include "demo/start_up.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <cstdio>

#include "broker/pieces.h"
#include "demo/field_descriptions.h"
#include "lookup/vorn_finder.h"
#include "output/help_window.h"
#include "source/vorn_source.h"
#include "toolkit/event_guard.h"
#include "toolkit/modal_seam.h"

namespace vorn {
namespace {

void Say(const QString& text) {
    std::fprintf(stderr, "vorn-labtest: %s\n", text.toLocal8Bit().constData());
}

}  // namespace

QString FindLabTest(TfrmLabTest& form, const QString& abbreviation) {
    TvornFinder& finder = *form.vornFinder1;
    finder.FieldList = {QStringLiteral(".01")};
    finder.SetPart(abbreviation);
    finder.GetList();
    const QString caret = QStringLiteral("^");
    for (const QString& line : finder.Records)
        if (Piece(line, caret, 2).compare(abbreviation, Qt::CaseInsensitive) == 0)
            return Piece(line, caret, 1);
    return finder.Records.isEmpty() ? QString() : Piece(finder.Records.first(), caret, 1);
}

UnattendedAnswers::UnattendedAnswers() {
    ui::SetModalHost(this);
}

UnattendedAnswers::~UnattendedAnswers() {
    ui::SetModalHost(nullptr);
}

int UnattendedAnswers::ShowMessage(QWidget*, const ui::MessageRequest& request) {
    Say(request.caption + QStringLiteral(": ") + request.text);
    return request.buttons & ui::mbYes ? ui::mrYes : ui::mrOk;
}

int UnattendedAnswers::ExecModal(QDialog& dialog) {
    Say(QStringLiteral("(") + dialog.windowTitle() + QStringLiteral(" answered)"));
    return QDialog::Accepted;
}

LabTestForms CreateForms(const LabTestConnection& connection) {
    // F1 in every bound control shows its field's help in the shared help window.
    InstallHelpWindow();
    LabTestForms forms;
    forms.frmLabTest = std::make_unique<TfrmLabTest>(connection);
    // A screen reader describes each field by its help, on every form, while the program runs.
    new FieldDescriptions(forms.frmLabTest.get());
    // Owned by the program, like the main form, not by the main form: each lives as long as
    // its own pointer.
    // Their brokers aim where the main form's does and share its link and sign-on.
    forms.frmLabResult = std::make_unique<TfrmLabResult>(connection);
    forms.frmSubresult = std::make_unique<TfrmSubresult>(connection, forms.frmLabTest->vornSource1);
    forms.frmUnit = std::make_unique<TfrmUnit>(connection);
    forms.frmPerson = std::make_unique<TfrmPerson>(connection);
    forms.frmLabTest->SetSecondaryForms(forms.frmLabResult.get(), forms.frmSubresult.get(),
                                        forms.frmUnit.get(), forms.frmPerson.get());
    return forms;
}

int TakeScreenshot(LabTestForms& forms, const QString& file, const QString& abbreviation, int tab) {
    TfrmLabTest& form = *forms.frmLabTest;
    form.show();
    QApplication::processEvents();
    if (!form.ContextCreated() || !form.vornSource1->Active()) {
        Say(QStringLiteral("the main form could not start (no connection or no context)"));
        return 1;
    }
    if (!abbreviation.isEmpty()) {
        bool shown = false;
        ui::Guarded([&] {
            const QString record = FindLabTest(form, abbreviation);
            if (!record.isEmpty() && form.vornSource1->GetAndFill(record)) {
                form.vornSource1->UpdateHistory();
                shown = true;
            }
        });
        if (!shown) {
            Say(QStringLiteral("no lab test ") + abbreviation);
            return 1;
        }
    }
    if (tab > 1) {
        // As a click on the tab would: the rules for leaving tab 1 apply.
        form.xPageCtrl1->setCurrentIndex(tab - 1);
        if (form.xPageCtrl1->currentIndex() != tab - 1) {
            Say(QStringLiteral("tab ") + QString::number(tab) + QStringLiteral(" was not shown"));
            return 1;
        }
    }
    QApplication::processEvents();
    if (!form.grab().save(file, "PNG")) {
        Say(QStringLiteral("cannot write ") + file);
        return 1;
    }
    return 0;
}

}  // namespace vorn
