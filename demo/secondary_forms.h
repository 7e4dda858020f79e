// The demo's secondary forms: lab results, subresults, units and persons. They are made at
// start and stay hidden until the main form shows one of them modally; for now they are
// empty forms.
#pragma once

#include <QDialog>

namespace vorn {

class TfrmLabResult : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmLabResult(QWidget* parent = nullptr);
};

class TfrmSubresult : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmSubresult(QWidget* parent = nullptr);
};

class TfrmUnit : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmUnit(QWidget* parent = nullptr);
};

class TfrmPerson : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmPerson(QWidget* parent = nullptr);
};

}  // namespace vorn
