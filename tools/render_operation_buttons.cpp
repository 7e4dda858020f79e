// Renders a form with the ten operation buttons, once enabled and once disabled, at 100% and
// at 200%, as operation-buttons-100.png and operation-buttons-200.png in the folder given.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <algorithm>
#include <cstdio>

#include "controls/vorn_btn.h"
#include "toolkit/component_loading.h"

namespace {

constexpr int kGap = 4;
constexpr int kRowHeight = 34;
constexpr int kLeft = 70;

QList<vorn::TvornBtn*> AddRow(QWidget& form, int row, const QString& title, bool enabled) {
    auto* label = new QLabel(title, &form);
    label->move(8, 12 + row * kRowHeight + 5);
    QList<vorn::TvornBtn*> buttons;
    for (int op = vorn::DoFirst; op <= vorn::DoDelete; ++op) {
        auto* button = new vorn::TvornBtn(&form);
        button->SetOperation(static_cast<vorn::TvornBtnOperation>(op));
        // A navigation button of the form is a little wider than its glyph.
        if (op <= vorn::DoLast) button->resize(26, 26);
        button->SetAlwaysDisabled(!enabled);
        buttons.append(button);
    }
    return buttons;
}

// Lays a row out once the buttons were loaded and have their widths; the row's right edge.
int Arrange(const QList<vorn::TvornBtn*>& buttons, int row) {
    int x = kLeft;
    for (vorn::TvornBtn* button : buttons) {
        button->move(x, 12 + row * kRowHeight);
        x += button->width() + kGap;
    }
    return x;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QWidget form;
    form.setWindowTitle("Operation buttons");
    const auto enabled = AddRow(form, 0, "Enabled", true);
    const auto disabled = AddRow(form, 1, "Disabled", false);
    vorn::ui::LoadComponents(form);
    const int right = std::max(Arrange(enabled, 0), Arrange(disabled, 1));
    form.resize(right + 4, 12 + 2 * kRowHeight + 8);
    form.show();
    for (int scale : {1, 2}) {
        QPixmap image(form.size() * scale);
        image.setDevicePixelRatio(scale);
        image.fill(form.palette().window().color());
        form.render(&image);
        const QString path =
            out.filePath(QStringLiteral("operation-buttons-%1.png").arg(scale * 100));
        if (!image.save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
