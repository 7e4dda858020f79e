#include "controls/vorn_btn.h"

#include "controls/glyphs.h"
#include "controls/internal/operation_look.h"
#include "source/internal/source_core.h"
#include "source/message_text.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

constexpr int kGlyphSize = 16;

bool IsGlyphCaption(const QString& caption) {
    return caption == QLatin1String(">>") || caption == QLatin1String("<<") ||
           caption == QLatin1String("&>") || caption == QLatin1String("&<");
}

}  // namespace

TvornBtn::TvornBtn(QWidget* parent) : QPushButton(parent) {
    resize(80, 26);
    QFont bold = font();
    bold.setPointSize(8);
    bold.setBold(true);
    setFont(bold);
    setIconSize(QSize(kGlyphSize, kGlyphSize));
    SetOperation(DoSave);
    SetHasGlyph(true);
    SetAlwaysDisabled(false);
    connect(this, &QPushButton::clicked, this, ui::GuardedSlot(this, [this] { Click(); }));
}

TvornBtn::~TvornBtn() {
    if (source_) source_->UnregisterButton(this);
}

void TvornBtn::SetAlwaysDisabled(bool on) {
    alwaysDisabled_ = on;
    if (on)
        setEnabled(false);
    else if (source_)
        SourceCore::Of(*source_).Buttons().Refresh(this);
}

void TvornBtn::SetOperation(TvornBtnOperation operation) {
    operation_ = operation;
    if (text() == QLatin1String("&Save") || text() == QLatin1String("T&all. muutos")) setText({});
    if (loaded_) ApplyLook(true);
}

void TvornBtn::SetvornSource(TvornSource* source) {
    if (source_ && source_ != source) source_->UnregisterButton(this);
    source_ = source;
    if (source) source->RegisterButton(this);
}

void TvornBtn::SetHasGlyph(bool on) {
    hasGlyph_ = on;
    if (!on) {
        setIcon({});
        return;
    }
    const QIcon glyph = OperationIcon(operation_);
    setIcon(glyph.isNull() ? BlankGlyph() : glyph);
    if (IsGlyphCaption(text())) setText({});
}

void TvornBtn::Loaded() {
    loaded_ = true;
    ApplyLook(false);
}

void TvornBtn::ApplyLook(bool designing) {
    const OperationLook& look = LookOf(operation_);
    // Texts come from the server only over a link that is up; a form still being built has
    // its own string table.
    TRPCBroker* broker = source_ ? source_->RPCBroker() : nullptr;
    if (broker && !broker->Connected()) broker = nullptr;
    if (IsNavigation(operation_)) {
        if (designing) setText({});
    } else if (designing || text().isEmpty()) {
        setText(GetMessageText(look.captionId, broker));
    }
    if (designing || toolTip().isEmpty()) setToolTip(GetMessageText(look.hintId, broker));
    // A glyph alone says nothing to a screen reader: the button is named by its operation.
    if (text().isEmpty() && accessibleName().isEmpty())
        setAccessibleName(GetMessageText(look.hintId, broker));
    if (designing) hasGlyph_ = true;
    SetHasGlyph(hasGlyph_);
    resize(RuleWidth(operation_, width()), height());
}

void TvornBtn::Click() {
    if (OnClick) OnClick(this);
    if (source_) RunOperation();
    if (AfterClick) AfterClick(this);
}

void TvornBtn::RunOperation() {
    TvornSource& s = *source_;
    switch (operation_) {
        case DoFirst:
            s.First();
            break;
        case DoPrior:
            s.Prior();
            break;
        case DoNext:
            s.Next();
            break;
        case DoLast:
            s.Last();
            break;
        case DoSave:
            s.Save();
            break;
        case DoSaveAs:
            s.SaveAs();
            break;
        case DoClear:
            s.Clear();
            break;
        case DoInsert:
            s.Insert();
            break;
        case DoCancel:
            s.Cancel();
            break;
        case DoDelete:
            s.Delete();
            break;
    }
}

}  // namespace vorn
