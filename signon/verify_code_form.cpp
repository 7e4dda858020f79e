#include "signon/internal/verify_code_form.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "signon/internal/code_edit.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    // Only OK is ever the default button, and only while every field holds a code.
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TfrmVCEdit::TfrmVCEdit(TVCEdit& edit, const QString& knownOldCode, QWidget* parent)
    : QDialog(parent), edit_(edit) {
    setObjectName(QStringLiteral("frmVCEdit"));
    setWindowTitle(QStringLiteral("Change TREVANTA Verify Code"));

    auto* grid = new QGridLayout;
    const std::pair<const char*, const char*> fields[] = {
        {"&Old verify code:", "edtOldVC"},
        {"&New verify code:", "edtNewVC"},
        {"Con&firm new verify code:", "edtConfirmVC"}};
    CodeEdit* edits[3];
    for (int i = 0; i < 3; ++i) {
        edits[i] = new CodeEdit(this);
        edits[i]->setObjectName(QLatin1String(fields[i].second));
        auto* label = new QLabel(QString::fromLatin1(fields[i].first), this);
        label->setBuddy(edits[i]);
        grid->addWidget(label, i, 0);
        grid->addWidget(edits[i], i, 1);
        connect(edits[i], &QLineEdit::textChanged, this, &TfrmVCEdit::UpdateDefaultButton);
    }
    edtOldVC = edits[0];
    edtNewVC = edits[1];
    edtConfirmVC = edits[2];

    btnOK = Button(QStringLiteral("OK"), "btnOK", this);
    btnCancel = Button(QStringLiteral("Cancel"), "btnCancel", this);
    btnHelp = Button(QStringLiteral("&Help"), "btnHelp", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    if (!knownOldCode.isEmpty()) {
        QPalette palette = edtOldVC->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        edtOldVC->setPalette(palette);
        edtOldVC->setEnabled(false);
        edtOldVC->setText(knownOldCode);
        edtNewVC->setFocus();
    } else {
        edtOldVC->setFocus();
    }
    edtNewVC->installEventFilter(this);

    connect(btnOK, &QPushButton::clicked, this, &TfrmVCEdit::PressOk);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmVCEdit::PressHelp);
    UpdateDefaultButton();
}

void TfrmVCEdit::UpdateDefaultButton() {
    btnOK->setDefault(!edtOldVC->text().isEmpty() && !edtNewVC->text().isEmpty() &&
                      !edtConfirmVC->text().isEmpty());
}

bool TfrmVCEdit::eventFilter(QObject* watched, QEvent* event) {
    // Leaving the new-code field after typing in it starts the count of mismatches again.
    if (watched == edtNewVC && event->type() == QEvent::FocusOut && edtNewVC->isModified()) {
        edtNewVC->setModified(false);
        edit_.NewCodeEdited();
    }
    return QDialog::eventFilter(watched, event);
}

template <typename F>
void TfrmVCEdit::Guarded(F&& action) {
    // The error was shown; a change whose call failed cannot go on over that link.
    if (!ui::Guarded(action, this)) reject();
}

void TfrmVCEdit::PressOk() {
    Guarded([this] {
        switch (edit_.PressOk(edtOldVC->text(), edtNewVC->text(), edtConfirmVC->text())) {
            case TVCEdit::OkOutcome::Changed:
                accept();
                break;
            case TVCEdit::OkOutcome::Mismatch:
                edtConfirmVC->setText(QString());
                edtConfirmVC->setFocus();
                break;
            case TVCEdit::OkOutcome::SameCode:
            case TVCEdit::OkOutcome::MismatchAgain:
            case TVCEdit::OkOutcome::Refused:
                EmptyNewCodes();
                edtNewVC->setFocus();
                break;
        }
    });
}

void TfrmVCEdit::PressHelp() {
    Guarded([this] { edit_.PressHelp(); });
}

// Emptied by the program, not edited by the user: the mismatch count stays.
void TfrmVCEdit::EmptyNewCodes() {
    edtNewVC->setText(QString());
    edtConfirmVC->setText(QString());
}

}  // namespace vorn
