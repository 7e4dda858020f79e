// The demo's forms made as the program's start-up makes them, signed on against the test server
// with the sign-on answered from the keyboard and its message acknowledged.
#pragma once

#include <QString>
#include <QTest>

#include "demo/start_up.h"
#include "signon/internal/signon_form.h"
#include "signon/internal/signon_message_form.h"
#include "tests/support/scripted_modal_host.h"

namespace vorn::test {

inline LabTestForms SignedOnForms(ScriptedModalHost& modal, int port,
                                  const QString& access = QStringLiteral("demo"),
                                  const QString& verify = QStringLiteral("demo.1234")) {
    modal.OnForm<TfrmSignon>([access, verify](TfrmSignon& form) {
        QTest::keyClicks(form.accessCode, access);
        QTest::keyClicks(form.verifyCode, verify);
        QTest::mouseClick(form.btnOk, Qt::LeftButton);
    });
    modal.OnForm<TfrmSignonMsg>([](TfrmSignonMsg& form) { form.BitBtn1->click(); });
    return CreateForms({QStringLiteral("127.0.0.1"), port, {}});
}

}  // namespace vorn::test
