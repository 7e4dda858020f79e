// A screen reader reads a field's description as the user comes to it: for a bound field whose
// form set none, the server's help for the field. It is asked once, when the field first takes
// the focus while a screen reader listens, so that nobody else pays a call for it.
#pragma once

#include <QObject>

namespace vorn {

class BoundControlBase;

class FieldDescriptions : public QObject {
  public:
    // Watches the focus of the whole program while `owner` lives. With `onlyForScreenReaders`
    // off the help is asked for whether or not a screen reader listens.
    explicit FieldDescriptions(QObject* owner, bool onlyForScreenReaders = true);
    // The help of the control's field becomes its accessible description, unless it has one.
    static void Describe(BoundControlBase& control);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool onlyForScreenReaders_;
};

}  // namespace vorn
