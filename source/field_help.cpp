#include "source/field_help.h"

#include "source/vorn_source.h"

namespace vorn {
namespace {

TitledTextViewer& Viewer() {
    static TitledTextViewer viewer;
    return viewer;
}

}  // namespace

void SetTitledTextViewer(TitledTextViewer viewer) {
    Viewer() = std::move(viewer);
}

void ShowTitledText(const QString& title, const QString& text) {
    if (Viewer()) Viewer()(title, text);
}

void ShowFieldHelp(TvornSource& source, const QString& field, const QString& title) {
    const QString help = source.FieldHelp(field, QStringLiteral("H"));
    ShowTitledText(title, help + QStringLiteral("\r\r") + source.FieldDescription(field));
}

}  // namespace vorn
