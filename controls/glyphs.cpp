#include "controls/glyphs.h"

#include <QFile>
#include <QPixmap>

#include "controls/internal/operation_look.h"

// The resources of a static library are registered by hand before their first use.
static void RegisterGlyphResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(glyphs);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace vorn {

QIcon GlyphIcon(const QString& name) {
    RegisterGlyphResources();
    const QString normal = QStringLiteral(":/vorn/glyphs/%1.png").arg(name);
    if (!QFile::exists(normal)) return {};
    QIcon icon;
    // Each file brings its @2x image for scaled displays along.
    icon.addFile(normal, {}, QIcon::Normal);
    icon.addFile(QStringLiteral(":/vorn/glyphs/%1_disabled.png").arg(name), {}, QIcon::Disabled);
    return icon;
}

QIcon OperationIcon(TvornBtnOperation operation) {
    return GlyphIcon(QString::fromLatin1(LookOf(operation).glyph));
}

QIcon BlankGlyph() {
    QPixmap blank(32, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

}  // namespace vorn
