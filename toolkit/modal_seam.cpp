#include "toolkit/modal_seam.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include "toolkit/event_guard.h"

namespace vorn::ui {
namespace {

struct ButtonMap {
    int bit;
    QMessageBox::StandardButton button;
    int result;
};

constexpr ButtonMap kButtons[] = {
    {mbYes, QMessageBox::Yes, mrYes},
    {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},
    {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},
    {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
    {mbAll, QMessageBox::YesToAll, mrAll},
    {mbHelp, QMessageBox::Help, mrNone},
};

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return QMessageBox::Warning;
        case MessageKind::Error:
            return QMessageBox::Critical;
        case MessageKind::Information:
            return QMessageBox::Information;
        case MessageKind::Confirmation:
            return QMessageBox::Question;
        case MessageKind::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Server and toolset texts break lines with CR or CR LF; the message box breaks at LF.
QString DisplayText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace('\r', '\n');
    return text;
}

class SilentProgress final : public ProgressView {
  public:
    void Update(const QString&) override {}
    bool Cancelled() const override { return false; }
};

// The task runs on this thread, so the dialog only sees the user between two updates: each
// update lets the window system deliver what waited, a Cancel click among it.
class DesktopProgress final : public ProgressView {
  public:
    DesktopProgress(QWidget* parent, const ProgressRequest& request)
        : dialog_(request.label, request.cancelText, 0, 0, parent) {
        dialog_.setWindowTitle(request.caption);
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setMinimumDuration(0);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.show();
        QCoreApplication::processEvents();
    }
    void Update(const QString& label) override {
        dialog_.setLabelText(label);
        QCoreApplication::processEvents();
    }
    bool Cancelled() const override { return dialog_.wasCanceled(); }

  private:
    QProgressDialog dialog_;
};

class DesktopHost final : public ModalHost {
  public:
    int ShowMessage(QWidget* parent, const MessageRequest& request) override {
        QMessageBox box(IconOf(request.kind), request.caption, DisplayText(request.text),
                        QMessageBox::NoButton, parent);
        for (const ButtonMap& b : kButtons)
            if (request.buttons & b.bit) box.addButton(b.button);
        if (box.buttons().isEmpty()) box.addButton(QMessageBox::Ok);
        box.exec();
        const auto pressed = box.standardButton(box.clickedButton());
        for (const ButtonMap& b : kButtons)
            if (b.button == pressed) return b.result;
        return mrCancel;
    }

    int ExecModal(QDialog& dialog) override { return dialog.exec(); }

    bool ChooseFont(QWidget* parent, QFont& font) override {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, font, parent);
        if (ok) font = chosen;
        return ok;
    }

    QString SaveFileName(QWidget* parent, const QString& caption, const QString& path,
                         const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, caption, path, filter);
    }

    bool PrinterSetup(QWidget* parent, QPrinter& printer) override {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }

    bool ChoosePrinter(QWidget* parent, QPrinter& printer, const PrinterChoices& choices) override {
        QPrintDialog dialog(&printer, parent);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, choices.selection);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, choices.pageNumbers);
        return dialog.exec() == QDialog::Accepted;
    }

    std::unique_ptr<ProgressView> ShowProgress(QWidget* parent,
                                               const ProgressRequest& request) override {
        return std::make_unique<DesktopProgress>(parent, request);
    }

    void FindText(QWidget* parent, const QString& text,
                  const std::function<void(const QString&)>& findNext) override {
        QDialog dialog(parent);
        dialog.setWindowTitle(QStringLiteral("Find"));
        auto* edit = new QLineEdit(text, &dialog);
        auto* next = new QPushButton(QStringLiteral("&Find Next"), &dialog);
        auto* close = new QPushButton(QStringLiteral("Cancel"), &dialog);
        next->setDefault(true);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(next);
        buttons->addWidget(close);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(edit);
        layout->addLayout(buttons);
        QObject::connect(next, &QPushButton::clicked, &dialog, [&] {
            if (!edit->text().isEmpty()) Guarded([&] { findNext(edit->text()); }, &dialog);
        });
        QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::reject);
        dialog.exec();
    }
};

DesktopHost gDesktop;
ModalHost* gHost = nullptr;

}  // namespace

std::unique_ptr<ProgressView> ModalHost::ShowProgress(QWidget*, const ProgressRequest&) {
    return std::make_unique<SilentProgress>();
}

ModalHost& Modal() {
    return gHost ? *gHost : gDesktop;
}
void SetModalHost(ModalHost* host) {
    gHost = host;
}

QString ApplicationTitle() {
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QCoreApplication::applicationName() : name;
}

void ShowPlainMessage(const QString& text, QWidget* parent) {
    Modal().ShowMessage(parent, {text, ApplicationTitle(), MessageKind::None, mbOK});
}

}  // namespace vorn::ui
