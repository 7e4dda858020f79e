#include "signon/internal/signon_message_form.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "signon/internal/signon_settings.h"

namespace vorn {

TfrmSignonMsg::TfrmSignonMsg(const QStringList& lines, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSignonMsg"));
    setWindowTitle(QStringLiteral("Signon Message"));

    mmoMsg = new QPlainTextEdit(this);
    mmoMsg->setObjectName(QStringLiteral("mmoMsg"));
    mmoMsg->setReadOnly(true);
    mmoMsg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = mmoMsg->palette();
    palette.setColor(QPalette::Base, kIntroCream);
    mmoMsg->setPalette(palette);
    mmoMsg->setPlainText(lines.join('\n'));

    // The panel has no layout: the button keeps its own size and is centred by hand.
    pnlBottom = new QWidget(this);
    pnlBottom->setObjectName(QStringLiteral("pnlBottom"));
    BitBtn1 = new QPushButton(QStringLiteral("&Close"), pnlBottom);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn1->adjustSize();
    BitBtn1->move(0, 6);
    pnlBottom->setMinimumHeight(BitBtn1->height() + 12);
    pnlBottom->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mmoMsg, 1);
    layout->addWidget(pnlBottom);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    resize(420, 240);
}

bool TfrmSignonMsg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pnlBottom && event->type() == QEvent::Resize)
        BitBtn1->move(CentredLeft(pnlBottom->width(), BitBtn1->width()), BitBtn1->y());
    return QDialog::eventFilter(watched, event);
}

}  // namespace vorn
