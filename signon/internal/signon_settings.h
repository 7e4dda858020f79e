// The look of the sign-on form as the workstation keeps it: where the form is placed, how
// large it is, and the background and font of its introductory text. Four text values under
// the machine-wide key kSignonKey; the position and size texts are also held in memory while
// the program runs.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

namespace vorn {

inline const QString kSignonPosValue = QStringLiteral("SignonPos");
inline const QString kSignonSizValue = QStringLiteral("SignonSiz");
inline const QString kIntroBackClrValue = QStringLiteral("IntroBackClr");
inline const QString kIntroTextFontValue = QStringLiteral("IntroTextFont");

// The mode of the position and of the size: the first "^" piece of "SignonPos" and
// "SignonSiz". Position "mode^top^left", size "mode^width^height".
enum SignonPlacement : int {
    spDefault = 0,   // centred on the screen / the normal size
    spFixed = 1,     // the coordinates the form had when the settings dialog was confirmed
    spRemember = 2,  // the coordinates the form had when it last closed
};

inline constexpr int kSignonNormalWidth = 500;
inline constexpr int kSignonNormalHeight = 300;
inline const QString kIntroDefaultFontName = QStringLiteral("System");
inline constexpr int kIntroDefaultFontSize = 14;
// "IntroBackClr" 0 and 1.
inline const QColor kIntroCream = QColor(0xFF, 0xFB, 0xF0);
inline const QColor kIntroWhite = QColor(0xFF, 0xFF, 0xFF);

// The choices the settings dialog edits.
struct SignonLook {
    int positionMode = spDefault;
    int sizeMode = spDefault;
    int introBackClr = 0;  // 0 cream, 1 white
    QString fontName = kIntroDefaultFontName;
    int fontSize = kIntroDefaultFontSize;

    QFont IntroFont() const;
    void SetIntroFont(const QFont& font);
    QColor IntroBackground() const { return introBackClr == 0 ? kIntroCream : kIntroWhite; }
    bool operator==(const SignonLook&) const = default;
};

// What happens to the settings over a sign-on form's life. `window` is the form (any
// top-level widget); `introText`, when given, takes the background and the font.
class SignonSettings {
  public:
    // Reads the four values, writing a missing or empty one back with its default; keeps the
    // position and size texts in memory. A mode that is not 0, 1 or 2 counts as 0.
    static SignonLook Read();

    // On creating the form: reads the settings and applies them. A mode of 1 or 2 whose
    // coordinates are missing (or not a usable size) gives the normal size and the centred
    // position.
    static void ApplyOnCreation(QWidget& window, QWidget* introText);

    // OK in the settings dialog: writes the four values. Mode 1 stores the current coordinates
    // of `window` with it (the mode alone when there is no window); other modes store the mode
    // alone. A value that cannot be written is passed over; the in-memory texts still change.
    static void Save(const SignonLook& look, const QWidget* window);
    // After the dialog's OK, on the open form: mode 0 resets the size or centres the form;
    // the intro text takes the chosen background and font.
    static void ApplyChosen(const SignonLook& look, QWidget& window, QWidget* introText);

    // On closing the form: mode 2 stores the form's coordinates with it.
    static void RememberOnClose(const QWidget& window);

    // The in-memory "SignonPos" and "SignonSiz" texts (empty until first read).
    static QString PositionText();
    static QString SizeText();

    static void ApplyIntroLook(const SignonLook& look, QWidget& introText);
};

// Centres a top-level widget on the available area of its screen.
void CentreOnScreen(QWidget& window);

}  // namespace vorn
