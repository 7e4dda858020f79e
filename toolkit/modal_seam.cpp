#include "toolkit/modal_seam.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

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
};

DesktopHost gDesktop;
ModalHost* gHost = nullptr;

}  // namespace

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
