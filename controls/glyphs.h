// The glyphs of the operation buttons and the exec buttons: 16-by-16 images shipped as Qt
// resources, each with a greyed image for the disabled state.
#pragma once

#include <QIcon>
#include <QString>

#include "source/vorn_types.h"

#pragma GCC visibility push(default)
namespace vorn {

// The glyph of resource `name` ("XBSAVE", "EBTNENABLED", ...) with its disabled image in the
// QIcon::Disabled mode; a null icon when there is no such resource.
QIcon GlyphIcon(const QString& name);

// The glyph of an operation button.
QIcon OperationIcon(TvornBtnOperation operation);

// The blank 32-by-16 image a button shows when its glyph cannot be loaded.
QIcon BlankGlyph();

}  // namespace vorn

#pragma GCC visibility pop
