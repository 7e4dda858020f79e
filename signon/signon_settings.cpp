#include "signon/internal/signon_settings.h"

#include <QEvent>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>
#include <optional>

#include "broker/registry_settings.h"

namespace vorn {
namespace {

QString gPosition;
QString gSize;

QString Value(const QString& name, const QString& fallback) {
    return ReadRegistryDefault(RegistryRoot::LocalMachine, kSignonKey, name, fallback);
}

// The store may refuse the write (a read-only workstation); the look still works this run.
void Write(const QString& name, const QString& text) {
    WriteRegistryText(RegistryRoot::LocalMachine, kSignonKey, name, text);
}

int ModeOf(const QString& text) {
    bool ok = false;
    const int mode = text.section('^', 0, 0).toInt(&ok);
    return ok && mode >= spDefault && mode <= spRemember ? mode : spDefault;
}

// The second and third "^" pieces as numbers, when both are there.
std::optional<std::pair<int, int>> Coordinates(const QString& text) {
    bool ok1 = false, ok2 = false;
    const int a = text.section('^', 1, 1).toInt(&ok1);
    const int b = text.section('^', 2, 2).toInt(&ok2);
    if (!ok1 || !ok2) return std::nullopt;
    return std::make_pair(a, b);
}

QString WithCoordinates(int mode, int a, int b) {
    return QStringLiteral("%1^%2^%3").arg(mode).arg(a).arg(b);
}

void Centre(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize frame = window.frameGeometry().size();
    window.move(area.x() + (area.width() - frame.width()) / 2,
                area.y() + (area.height() - frame.height()) / 2);
}

class CentreWhenShown final : public QObject {
  public:
    explicit CentreWhenShown(QWidget& window) : QObject(&window), placed_(window.pos()) {
        window.installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent()) {
            auto& window = static_cast<QWidget&>(*watched);
            if (window.pos() == placed_) Centre(window);
            deleteLater();
            window.removeEventFilter(this);
        }
        return false;
    }

  private:
    QPoint placed_;
};

void NormalSize(QWidget& window) {
    window.resize(kSignonNormalWidth, kSignonNormalHeight);
}

}  // namespace

QFont SignonLook::IntroFont() const {
    QFont font(fontName);
    font.setPointSize(fontSize);
    return font;
}

void SignonLook::SetIntroFont(const QFont& font) {
    fontName = font.family();
    // A font given in pixels has no point size of its own; take the one it shows at.
    fontSize = font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize();
}

SignonLook SignonSettings::Read() {
    SignonLook look;
    gPosition = Value(kSignonPosValue, QStringLiteral("0"));
    look.positionMode = ModeOf(gPosition);
    gSize = Value(kSignonSizValue, QStringLiteral("0"));
    look.sizeMode = ModeOf(gSize);
    look.introBackClr = Value(kIntroBackClrValue, QStringLiteral("0")).toInt() == 0 ? 0 : 1;
    const QString font = Value(kIntroTextFontValue, QStringLiteral("System^14"));
    const QString name = font.section('^', 0, 0);
    const int size = font.section('^', 1, 1).toInt();
    look.fontName = name.isEmpty() ? kIntroDefaultFontName : name;
    look.fontSize = size > 0 ? size : kIntroDefaultFontSize;
    return look;
}

void SignonSettings::ApplyOnCreation(QWidget& window, QWidget* introText) {
    const SignonLook look = Read();

    const auto size = look.sizeMode != spDefault ? Coordinates(gSize) : std::nullopt;
    if (size && size->first > 0 && size->second > 0)
        window.resize(size->first, size->second);
    else
        NormalSize(window);

    const auto position = look.positionMode != spDefault ? Coordinates(gPosition) : std::nullopt;
    if (position)
        window.move(position->second, position->first);  // "mode^top^left"
    else
        CentreOnScreen(window);

    if (introText) ApplyIntroLook(look, *introText);
}

void SignonSettings::Save(const SignonLook& look, const QWidget* window) {
    gPosition = look.positionMode == spFixed && window
                    ? WithCoordinates(spFixed, window->y(), window->x())
                    : QString::number(look.positionMode);
    Write(kSignonPosValue, gPosition);
    gSize = look.sizeMode == spFixed && window
                ? WithCoordinates(spFixed, window->width(), window->height())
                : QString::number(look.sizeMode);
    Write(kSignonSizValue, gSize);
    Write(kIntroBackClrValue, QString::number(look.introBackClr));
    Write(kIntroTextFontValue, look.fontName + '^' + QString::number(look.fontSize));
}

void SignonSettings::ApplyChosen(const SignonLook& look, QWidget& window, QWidget* introText) {
    if (look.sizeMode == spDefault) NormalSize(window);
    if (look.positionMode == spDefault) CentreOnScreen(window);
    if (introText) ApplyIntroLook(look, *introText);
}

void SignonSettings::RememberOnClose(const QWidget& window) {
    if (gSize.section('^', 0, 0) == QLatin1String("2")) {
        gSize = WithCoordinates(spRemember, window.width(), window.height());
        Write(kSignonSizValue, gSize);
    }
    if (gPosition.section('^', 0, 0) == QLatin1String("2")) {
        gPosition = WithCoordinates(spRemember, window.y(), window.x());
        Write(kSignonPosValue, gPosition);
    }
}

QString SignonSettings::PositionText() {
    return gPosition;
}
QString SignonSettings::SizeText() {
    return gSize;
}

void SignonSettings::ApplyIntroLook(const SignonLook& look, QWidget& introText) {
    QPalette palette = introText.palette();
    palette.setColor(QPalette::Base, look.IntroBackground());
    introText.setPalette(palette);
    introText.setFont(look.IntroFont());
}

void CentreOnScreen(QWidget& window) {
    Centre(window);
    // The frame of a window that was never shown is not known yet: centre it again, frame and
    // all, when it is shown, unless it was placed elsewhere meanwhile.
    if (!window.isVisible()) {
        const QObjectList children = window.children();
        for (QObject* child : children)
            if (dynamic_cast<CentreWhenShown*>(child)) delete child;
        new CentreWhenShown(window);
    }
}

}  // namespace vorn
