// Draws the glyphs of the operation buttons and the exec buttons, and the palette glyphs of the
// Qt Designer plugin, once, into PNG files shipped as resources: each glyph at 16 and 32 pixels
// (the @2x image), normal and disabled. All glyphs share one 16-unit grid, one stroke weight and
// one palette.
//
//     vorn_make_glyphs controls/glyphs
//     vorn_make_glyphs --sheet sheet.png    (every glyph magnified, to look at them)
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>
#include <map>

namespace {

constexpr double kStroke = 1.5;

const QColor kBlue(0x1f, 0x5f, 0xa8);
const QColor kDarkBlue(0x15, 0x3f, 0x6f);
const QColor kGreen(0x2e, 0x8b, 0x3a);
const QColor kRed(0xc6, 0x28, 0x28);
const QColor kAmber(0xd9, 0x7a, 0x1b);
const QColor kInk(0x44, 0x4a, 0x52);
const QColor kPaper(0xfd, 0xfd, 0xfa);

using Draw = std::function<void(QPainter&)>;

QPen Stroke(const QColor& color) {
    QPen pen(color, kStroke);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void Triangle(QPainter& p, bool right, double x) {
    QPainterPath path;
    if (right) {
        path.moveTo(x, 3.5);
        path.lineTo(x + 6.5, 8);
        path.lineTo(x, 12.5);
    } else {
        path.moveTo(x + 6.5, 3.5);
        path.lineTo(x, 8);
        path.lineTo(x + 6.5, 12.5);
    }
    path.closeSubpath();
    p.setPen(Stroke(kDarkBlue));
    p.setBrush(kBlue);
    p.drawPath(path);
}

void Bar(QPainter& p, double x) {
    p.setPen(Stroke(kDarkBlue));
    p.setBrush(kBlue);
    p.drawRect(QRectF(x, 3.5, 1.5, 9));
}

void Floppy(QPainter& p) {
    QPainterPath body;
    body.moveTo(2.5, 2.5);
    body.lineTo(11.5, 2.5);
    body.lineTo(13.5, 4.5);
    body.lineTo(13.5, 13.5);
    body.lineTo(2.5, 13.5);
    body.closeSubpath();
    p.setPen(Stroke(kDarkBlue));
    p.setBrush(kBlue);
    p.drawPath(body);
    // The shutter and the label.
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawRect(QRectF(5, 3.25, 5.5, 3.5));
    p.drawRect(QRectF(4.5, 9, 7, 4));
    p.setBrush(kDarkBlue);
    p.drawRect(QRectF(8.5, 3.75, 1.25, 2.5));
}

void Plus(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(12, 12), 4, 4);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(12, 12), 3.25, 3.25);
    p.setPen(Stroke(kPaper));
    p.drawLine(QPointF(12, 10.25), QPointF(12, 13.75));
    p.drawLine(QPointF(10.25, 12), QPointF(13.75, 12));
}

void Page(QPainter& p) {
    QPainterPath sheet;
    sheet.moveTo(3.5, 1.5);
    sheet.lineTo(9.5, 1.5);
    sheet.lineTo(12.5, 4.5);
    sheet.lineTo(12.5, 14.5);
    sheet.lineTo(3.5, 14.5);
    sheet.closeSubpath();
    p.setPen(Stroke(kInk));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(9.5, 1.5);
    fold.lineTo(9.5, 4.5);
    fold.lineTo(12.5, 4.5);
    p.setBrush(Qt::NoBrush);
    p.drawPath(fold);
}

void Undo(QPainter& p) {
    QPainterPath arc;
    arc.moveTo(4, 6.5);
    arc.lineTo(9.5, 6.5);
    arc.cubicTo(15, 6.5, 15, 13.5, 9.5, 13.5);
    arc.lineTo(6, 13.5);
    p.setPen(QPen(kAmber, kStroke * 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    QPainterPath head;
    head.moveTo(1.5, 6.5);
    head.lineTo(6, 2.5);
    head.lineTo(6, 10.5);
    head.closeSubpath();
    p.setPen(Stroke(kAmber));
    p.setBrush(kAmber);
    p.drawPath(head);
}

void Cross(QPainter& p) {
    p.setPen(QPen(kRed, kStroke * 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
}

void Ellipsis(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kDarkBlue);
    for (double x : {3.5, 8.0, 12.5})
        p.drawEllipse(QPointF(x, 11), 1.6, 1.6);
    // A small pointer into the list above the dots.
    QPainterPath arrow;
    arrow.moveTo(5, 3);
    arrow.lineTo(11, 3);
    arrow.lineTo(8, 7);
    arrow.closeSubpath();
    p.setPen(Stroke(kDarkBlue));
    p.setBrush(kBlue);
    p.drawPath(arrow);
}

void Magnifier(QPainter& p) {
    p.setPen(Stroke(kDarkBlue));
    p.setBrush(QColor(0xd6, 0xe6, 0xf7));
    p.drawEllipse(QPointF(6.5, 6.5), 4.25, 4.25);
    p.setPen(QPen(kDarkBlue, kStroke * 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.75, 9.75), QPointF(13.5, 13.5));
}

// --- the palette glyphs of Qt Designer's "Vorn" group, one per component ---

// A white entry field with an ink border, from x0 to x1 and y0 to y1.
void Field(QPainter& p, double x0, double y0, double x1, double y1) {
    p.setPen(Stroke(kInk));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(x0, y0, x1 - x0, y1 - y0), 1, 1);
}

// Short text lines from x0 to x1 at the heights `ys`.
void TextLines(QPainter& p, double x0, double x1, std::initializer_list<double> ys) {
    p.setPen(QPen(kInk, 1, Qt::SolidLine, Qt::FlatCap));
    for (double y : ys)
        p.drawLine(QPointF(x0, y), QPointF(x1, y));
}

void DropArrow(QPainter& p, double x, double y) {
    QPainterPath arrow;
    arrow.moveTo(x, y);
    arrow.lineTo(x + 4, y);
    arrow.lineTo(x + 2, y + 2.5);
    arrow.closeSubpath();
    p.setPen(Stroke(kDarkBlue));
    p.setBrush(kBlue);
    p.drawPath(arrow);
}

void PaletteEdit(QPainter& p) {
    Field(p, 1.5, 4.5, 14.5, 11.5);
    TextLines(p, 3.5, 8, {8});
    p.setPen(QPen(kBlue, 1.25));
    p.drawLine(QPointF(10, 6), QPointF(10, 10));
}

void PaletteDialogEdit(QPainter& p) {
    Field(p, 0.5, 4.5, 10.5, 11.5);
    TextLines(p, 2.5, 7.5, {8});
    p.setPen(Qt::NoPen);
    p.setBrush(kDarkBlue);
    for (double x : {12.0, 13.75, 15.5})
        p.drawEllipse(QPointF(x - 0.5, 9.5), 0.9, 0.9);
}

void PaletteLabel(QPainter& p) {
    QPainterPath letter;
    letter.moveTo(3, 13);
    letter.lineTo(8, 2.5);
    letter.lineTo(13, 13);
    p.setPen(QPen(kDarkBlue, kStroke * 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(letter);
    p.drawLine(QPointF(5.25, 9.5), QPointF(10.75, 9.5));
}

void PaletteCheckBox(QPainter& p) {
    Field(p, 2.5, 2.5, 13.5, 13.5);
    QPainterPath tick;
    tick.moveTo(4.75, 8);
    tick.lineTo(7, 10.5);
    tick.lineTo(11.5, 5);
    p.setPen(QPen(kGreen, kStroke * 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

void RadioMark(QPainter& p, QPointF centre, double radius, bool on) {
    p.setPen(Stroke(kInk));
    p.setBrush(kPaper);
    p.drawEllipse(centre, radius, radius);
    if (!on) return;
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(centre, radius * 0.5, radius * 0.5);
}

void PaletteRadioButton(QPainter& p) {
    RadioMark(p, {8, 8}, 5.5, true);
}

void PaletteRadioGroup(QPainter& p) {
    p.setPen(Stroke(kInk));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1, 2.5, 14, 12), 1, 1);
    RadioMark(p, {4.75, 6.5}, 1.9, true);
    RadioMark(p, {4.75, 11}, 1.9, false);
    TextLines(p, 8, 12.5, {6.5, 11});
}

void PaletteComboBox(QPainter& p) {
    Field(p, 0.5, 4.5, 15.5, 11.5);
    TextLines(p, 2.5, 7, {8});
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(10, 5), QPointF(10, 11));
    DropArrow(p, 10.75, 7);
}

void PaletteComboBoxLookUp(QPainter& p) {
    Field(p, 0.5, 0.5, 15.5, 6.5);
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(10, 1), QPointF(10, 6));
    DropArrow(p, 10.75, 2.5);
    // The list that drops down, its first line picked.
    Field(p, 0.5, 6.5, 10.5, 15.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(1.5, 8, 8, 2));
    TextLines(p, 2, 8, {12.5});
}

void PaletteListBox(QPainter& p) {
    Field(p, 1.5, 1.5, 14.5, 14.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(2.5, 6.5, 11, 2.5));
    TextLines(p, 4, 11, {4.5, 11.5});
}

void PaletteMemo(QPainter& p) {
    Field(p, 1.5, 1.5, 14.5, 14.5);
    TextLines(p, 3.5, 10, {4.5, 7, 9.5, 12});
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(11.5, 3, 1.75, 5));
}

void PaletteGrid(QPainter& p) {
    Field(p, 0.5, 1.5, 15.5, 14.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(1, 2, 14, 3));
    p.setPen(QPen(kInk, 1));
    for (double y : {8.5, 11.5})
        p.drawLine(QPointF(1, y), QPointF(15, y));
    for (double x : {5.5, 10.5})
        p.drawLine(QPointF(x, 5), QPointF(x, 14));
}

void PaletteDeviceDialog(QPainter& p) {
    // A printer: the sheet going in, the body, the sheet coming out.
    p.setPen(Stroke(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setPen(Stroke(kDarkBlue));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1, 1);
    p.setPen(Stroke(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10, 7, 4.5));
    TextLines(p, 6, 10, {12.25});
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(12.5, 8), 0.9, 0.9);
}

const std::map<QString, Draw>& Glyphs() {
    static const std::map<QString, Draw> glyphs = {
        {"XBFIRST",
         [](QPainter& p) {
             Bar(p, 3);
             Triangle(p, false, 6.5);
         }},
        {"XBPRIOR", [](QPainter& p) { Triangle(p, false, 4.75); }},
        {"XBNEXT", [](QPainter& p) { Triangle(p, true, 4.75); }},
        {"XBLAST",
         [](QPainter& p) {
             Triangle(p, true, 3);
             Bar(p, 11.5);
         }},
        {"XBSAVE", Floppy},
        {"XBSAVEAS",
         [](QPainter& p) {
             Floppy(p);
             Plus(p);
         }},
        {"XBCLEAR", Page},
        {"XBCANCEL", Undo},
        {"XBDELETE", Cross},
        {"EBTNENABLED", Ellipsis},
        {"HBTNENABLED", Magnifier},
        {"PALEDIT", PaletteEdit},
        {"PALDIALOGEDIT", PaletteDialogEdit},
        {"PALLABEL", PaletteLabel},
        {"PALCHECKBOX", PaletteCheckBox},
        {"PALRADIOBUTTON", PaletteRadioButton},
        {"PALRADIOGROUP", PaletteRadioGroup},
        {"PALCOMBOBOX", PaletteComboBox},
        {"PALCOMBOBOXLOOKUP", PaletteComboBoxLookUp},
        {"PALLISTBOX", PaletteListBox},
        {"PALMEMO", PaletteMemo},
        {"PALGRID", PaletteGrid},
        {"PALDEVICEDIALOG", PaletteDeviceDialog},
    };
    return glyphs;
}

QImage Render(const Draw& draw, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    draw(p);
    return image;
}

// Grey and lighter: the shape stays readable, its colour goes.
QImage Disabled(const QImage& normal) {
    QImage image = normal.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 150 + qGray(line[x]) * 90 / 255;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 3 / 4);
        }
    }
    return image;
}

// Each glyph in a row: the 16-pixel and the 32-pixel image, normal and disabled, magnified
// to 64 pixels without smoothing, on a button-face background.
QImage Sheet() {
    constexpr int kCell = 72;
    const auto& glyphs = Glyphs();
    QImage sheet(4 * kCell, static_cast<int>(glyphs.size()) * kCell, QImage::Format_RGB32);
    sheet.fill(QColor(0xef, 0xef, 0xef));
    QPainter p(&sheet);
    int row = 0;
    for (const auto& [name, draw] : glyphs) {
        int column = 0;
        for (int size : {16, 32}) {
            const QImage normal = Render(draw, size);
            for (const QImage& image : {normal, Disabled(normal)})
                p.drawImage(QRect(column++ * kCell + 4, row * kCell + 4, 64, 64), image);
        }
        ++row;
    }
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc > 2 && QString::fromLocal8Bit(argv[1]) == QLatin1String("--sheet"))
        return Sheet().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    for (const auto& [name, draw] : Glyphs()) {
        for (int scale : {1, 2}) {
            const QImage normal = Render(draw, 16 * scale);
            const QString suffix = scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
            if (!normal.save(out.filePath(name + suffix)) ||
                !Disabled(normal).save(out.filePath(name + QStringLiteral("_disabled") + suffix))) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(out.filePath(name)));
                return 1;
            }
        }
    }
    return 0;
}
