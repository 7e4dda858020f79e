// Demo lab test over a wide-area link: vorn-server delays every reply by 50 ms (--latency 50),
// and each user step is timed as a whole, beside the bare cost of its own round trips on that
// link (its number of calls × the measured time of one minimal call). Steps: start-up (sign-on,
// application context, the forms made and shown); start-up to the first record shown after a
// find; the first and the second find plus pick of
// a session (the first one reads the dialog's captions); one field edited and saved.
//   wan_bench [--latency MS]
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <string>

#include "broker/broker_ui.h"
#include "broker/rpc_broker.h"
#include "demo/start_up.h"
#include "lookup/find_dialog.h"
#include "lookup/internal/xde_string_grid.h"
#include "source/vorn_source.h"
#include "tests/support/dev_server_process.h"
#include "tests/support/shown_find.h"
#include "tests/support/silent_broker_ui.h"

namespace {

using namespace vorn;
using test::ShownFind;

struct Step {
    double ms = 0;
    std::size_t calls = 0;
    std::string names;
};

template <typename F>
Step Timed(test::DevServerProcess& server, F&& step) {
    const std::size_t mark = server.Mark();
    QElapsedTimer clock;
    clock.start();
    step();
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    std::string names;
    for (const std::string& name : server.NamesSince(mark))
        names += (names.empty() ? "" : ", ") + name;
    return {ms, server.Mark() - mark, names};
}

void FindAndPick(TfrmLabTest& form, const char* letters) {
    form.xDlgAbbreviation->setFocus();
    form.xDlgAbbreviation->selectAll();
    QTest::keyClicks(form.xDlgAbbreviation, QString::fromLatin1(letters));
    QTest::keyClick(form.xDlgAbbreviation, Qt::Key_Return);
    if (TfrmFind* dialog = ShownFind()) QTest::keyClick(dialog->grdPick, Qt::Key_Return);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int latency = 50;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--latency") == 0) latency = std::atoi(argv[i + 1]);
    vorn::test::SilentBrokerUi quiet;
    SetBrokerUi(&quiet);
    UnattendedAnswers answers;
    test::DevServerProcess::Options options;
    options.latencyMs = latency;
    test::DevServerProcess server(options);

    // One minimal call on the same link, the baseline of each step.
    TRPCBroker bare;
    bare.SetServer(QStringLiteral("localhost"));
    bare.SetListenerPort(server.Port());
    bare.PresetCodes = QStringLiteral("DEMO;DEMO.1234");
    bare.OpenAppContext(QStringLiteral("ZAZIRERO"));
    QElapsedTimer clock;
    clock.start();
    constexpr int kBare = 5;
    for (int i = 0; i < kBare; ++i)
        bare.Call(RpcRequest(QStringLiteral("XUS SIGNON SETUP")));
    const double oneCall = static_cast<double>(clock.nsecsElapsed()) / 1e6 / kBare;

    LabTestForms forms;
    const Step startUp = Timed(server, [&] {
        forms = CreateForms(
            {QStringLiteral("127.0.0.1"), server.Port(), QStringLiteral("DEMO;DEMO.1234")});
        forms.frmLabTest->show();
    });
    TfrmLabTest& form = *forms.frmLabTest;
    // Each find starts from an empty form, as after Clear.
    const Step first = Timed(server, [&] { FindAndPick(form, "hb"); });
    const Step toFirstRecord{startUp.ms + first.ms, startUp.calls + first.calls,
                             "the two steps below"};
    form.vornSource1->Clear();
    const Step second = Timed(server, [&] { FindAndPick(form, "hb"); });
    const Step save = Timed(server, [&] {
        form.xedtName->setFocus();
        form.xedtName->selectAll();
        QTest::keyClicks(form.xedtName, QStringLiteral("Haemoglobin"));
        form.xbtnSave->click();
    });

    std::printf("latency %d ms; one bare call %.1f ms\n", latency, oneCall);
    std::printf("%-42s %9s %6s %12s %6s\n", "step", "ms", "calls", "bare ms", "x");
    const auto row = [&](const char* what, const Step& s) {
        const double baseline = oneCall * static_cast<double>(s.calls);
        std::printf("%-42s %9.1f %6zu %12.1f %6.2f\n", what, s.ms, s.calls, baseline,
                    baseline > 0 ? s.ms / baseline : 0.0);
        std::printf("    %s\n", s.names.c_str());
    };
    row("start-up: sign-on, context, forms opened", startUp);
    row("start-up to the first record shown", toFirstRecord);
    row("first find plus pick of the session", first);
    row("second find plus pick", second);
    row("edit one field and save", save);
    return 0;
}
