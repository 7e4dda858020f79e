#include "controls/exec_button.h"

#include "controls/glyphs.h"

#include <QIcon>

#include "controls/dialog_edit.h"
#include "source/message_text.h"
#include "source/vorn_source.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

constexpr int kSide = 22;
constexpr int kBlankSide = 18;
constexpr int kFindWidth = 62;

// The form the component belongs to: the top of its owners.
QObject* OwnerOf(QObject* component) {
    QObject* owner = component;
    while (owner->parent())
        owner = owner->parent();
    return owner;
}

QString FreeName(QObject* owner, const QString& stem) {
    for (int n = 1;; ++n) {
        const QString name = stem + QString::number(n);
        if (owner->objectName() != name && !owner->findChild<QObject*>(name)) return name;
    }
}

}  // namespace

TvornExecBtn::TvornExecBtn(QWidget* parent) : QPushButton(parent) {
    resize(kSide, kSide);
    blank_ = QPixmap(kBlankSide, kBlankSide);
    blank_.fill(Qt::transparent);
    setIcon(QIcon(blank_));
    setAutoDefault(false);
    SetTabStop(false);
    connect(this, &QPushButton::clicked, this, ui::GuardedSlot(this, [this] { Click(); }));
}

TvornExecBtn::~TvornExecBtn() {
    // Not through Edit(): the form may be taking its components down around the button.
    if (registeredWith_) registeredWith_->UnregisterButton(this);
}

TvornExecBtn* TvornExecBtn::CreateFor(TvornDialogEdit& edit, bool pointerButton) {
    QObject* owner = OwnerOf(&edit);
    auto* button = new TvornExecBtn(edit.parentWidget());
    button->setObjectName(FreeName(
        owner, pointerButton ? QStringLiteral("vornPointerBtn") : QStringLiteral("vornFindBtn")));
    if (pointerButton) {
        button->setIcon(GlyphIcon(QStringLiteral("EBTNENABLED")));
        edit.SetvornExecPntrBtn(button);
    } else {
        // A form makes its buttons before it connects: a broker that is not connected yet is
        // not made to sign on for a caption, the string table has it.
        TvornSource* source = edit.vornSource();
        TRPCBroker* broker = source ? source->RPCBroker() : nullptr;
        if (broker && !broker->Connected()) broker = nullptr;
        button->setText(GetMessageText(20, broker));
        button->setIcon(GlyphIcon(QStringLiteral("HBTNENABLED")));
        button->resize(kFindWidth, button->height());
        edit.SetvornExecFindBtn(button);
    }
    button->hasGlyph_ = !button->icon().isNull();
    button->SetStayNearEdit(true);
    return button;
}

void TvornExecBtn::SetStayNearEdit(bool on) {
    stayNearEdit_ = on;
    if (TvornDialogEdit* edit = Edit()) edit->LayoutExecButtons();
}

void TvornExecBtn::SetHasGlyph(bool on) {
    hasGlyph_ = on;
    if (!on && !icon().isNull()) setIcon(QIcon());
    if (on && icon().isNull()) setIcon(QIcon(blank_));
}

TvornDialogEdit* TvornExecBtn::Edit() {
    TvornDialogEdit* found = nullptr;
    for (TvornDialogEdit* edit : OwnerOf(this)->findChildren<TvornDialogEdit*>()) {
        if (edit->vornExecPntrBtn() == this) {
            found = edit;
            isPointerButton_ = true;
        } else if (edit->vornExecFindBtn() == this) {
            found = edit;
            isPointerButton_ = false;
        }
    }
    return found;
}

void TvornExecBtn::Loaded() {
    TvornDialogEdit* edit = Edit();
    if (!edit) return;
    if (TvornSource* source = edit->vornSource()) {
        source->RegisterButton(this);
        registeredWith_ = source;
    }
    edit->LayoutExecButtons();
    // A button that shows only its glyph is named by what it does.
    if (accessibleName().isEmpty() && text().isEmpty()) {
        const QString field = edit->FMDisplayName();
        setAccessibleName(field.isEmpty() ? QStringLiteral("Choose from the list")
                                          : QStringLiteral("Choose ") + field +
                                                QStringLiteral(" from the list"));
    }
}

void TvornExecBtn::Click() {
    const TNotifyEvent handler = OnClick;
    if (handler) handler(this);
    if (TvornDialogEdit* edit = Edit()) edit->ExecuteFromButton(this);
}

void TvornExecBtn::moveEvent(QMoveEvent* event) {
    QPushButton::moveEvent(event);
    // Moving either of the pair brings the other along.
    if (stayNearEdit_)
        if (TvornDialogEdit* edit = Edit()) edit->LayoutExecButtons();
}

}  // namespace vorn
