// "Sign-on Properties": where the sign-on form opens, how large, and the look of its
// introductory text. Reads the settings when shown, saves them at OK and applies them at once
// to the open sign-on form.
#pragma once

#include <QDialog>
#include <QFont>
#include <QPointer>

#include "signon/internal/signon_settings.h"

class QGroupBox;
class QPushButton;

namespace vorn {

namespace ui {
class RadioGroup;
}

class TSignonConfiguration : public QDialog {
    Q_OBJECT

  public:
    // `signonForm` is the open sign-on form the choices apply to, `introText` its
    // introductory text; either may be null.
    explicit TSignonConfiguration(QWidget* signonForm = nullptr, QWidget* introText = nullptr,
                                  QWidget* parent = nullptr);

    // Shows the dialog modally for the open sign-on form, with the client agent's help file as
    // the application's help file meanwhile. Returns the modal result.
    static int Open(QWidget* signonForm, QWidget* introText);

    // The choices the controls show.
    SignonLook ChosenLook() const;
    // Sets the controls from the settings store.
    void ReadSettings();

    // The font dialog's font: the intro-text font being chosen.
    struct FontDialog {
        QFont Font;
    } FontDialog1;

    ui::RadioGroup* rgrWindowPosition;
    ui::RadioGroup* rgrWindowSize;
    QGroupBox* grpIntroText;
    QPushButton* Button1;
    ui::RadioGroup* rgrIntroBackClr;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;
    QPushButton* btnDefaults;

    inline static const QString kDefaultsQuestion =
        QStringLiteral("Are you sure you want to reset all settings to their defaults?");

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ChangeFont();
    void Confirm();
    void ResetToDefaults();

    QPointer<QWidget> signonForm_;
    QPointer<QWidget> introText_;
};

}  // namespace vorn
