#include "demo/secondary_forms.h"

namespace vorn {
namespace {

void Name(QDialog& form, const char* name, const char* caption) {
    form.setObjectName(QString::fromLatin1(name));
    form.setWindowTitle(QString::fromLatin1(caption));
}

}  // namespace

TfrmLabResult::TfrmLabResult(QWidget* parent) : QDialog(parent) {
    Name(*this, "frmLabResult", "Lab results");
}

TfrmSubresult::TfrmSubresult(QWidget* parent) : QDialog(parent) {
    Name(*this, "frmSubresult", "Subresults");
}

TfrmUnit::TfrmUnit(QWidget* parent) : QDialog(parent) {
    Name(*this, "frmUnit", "Units");
}

TfrmPerson::TfrmPerson(QWidget* parent) : QDialog(parent) {
    Name(*this, "frmPerson", "Persons");
}

}  // namespace vorn
