// Demo lab test from the end of the sign-on to the first record shown after a find: the main
// form shown (its source opened), a lab test's first letters typed into the find field and
// Enter pressed, the first entry of the pick list taken. Measured against the real vorn-server
// beside the same number of bare round trips ("XUS SIGNON SETUP") on the same link, in the
// same run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <memory>

#include "bench/ratio_reporter.h"
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

struct World {
    vorn::test::SilentBrokerUi quiet;
    UnattendedAnswers answers;
    test::DevServerProcess server;

    World() { SetBrokerUi(&quiet); }
    LabTestForms SignedOn() {
        return CreateForms(
            {QStringLiteral("127.0.0.1"), server.Port(), QStringLiteral("DEMO;DEMO.1234")});
    }
    // From the signed-on form to the record shown; true when the record is shown.
    static bool FindFirstRecord(TfrmLabTest& form) {
        form.show();
        QTest::keyClicks(form.xDlgAbbreviation, QStringLiteral("hb"));
        QTest::keyClick(form.xDlgAbbreviation, Qt::Key_Return);
        TfrmFind* dialog = ShownFind();
        if (!dialog) return false;
        QTest::keyClick(dialog->grdPick, Qt::Key_Return);
        return form.vornSource1->State() == ssBrowse;
    }
};

World& TheWorld() {
    static World world;
    return world;
}

void FirstRecordAfterSignon(benchmark::State& state) {
    World& w = TheWorld();
    for (auto _ : state) {
        state.PauseTiming();
        LabTestForms forms = w.SignedOn();
        state.ResumeTiming();
        if (!World::FindFirstRecord(*forms.frmLabTest)) state.SkipWithError("no record shown");
        state.PauseTiming();
        forms = {};
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

void Bare(benchmark::State& state) {
    World& w = TheWorld();
    TRPCBroker broker;
    broker.SetServer(QStringLiteral("127.0.0.1"));
    broker.SetListenerPort(w.server.Port());
    broker.PresetCodes = QStringLiteral("DEMO;DEMO.1234");
    broker.OpenAppContext(QStringLiteral("ZAZIRERO"));
    for (auto _ : state)
        for (int i = 0; i < state.range(0); ++i)
            broker.Call(RpcRequest(QStringLiteral("XUS SIGNON SETUP")));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    World& w = TheWorld();
    // The round trips of the path, as the server counts them.
    std::size_t calls = 0;
    {
        LabTestForms forms = w.SignedOn();
        const std::size_t mark = w.server.Mark();
        if (!World::FindFirstRecord(*forms.frmLabTest)) return 1;
        calls = w.server.Mark() - mark;
        std::printf("round trips from the end of sign-on to the record:");
        for (const std::string& name : w.server.NamesSince(mark))
            std::printf(" %s,", name.c_str());
        std::printf(" (%zu)\n", calls);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    benchmark::RegisterBenchmark("FirstRecordAfterSignon", FirstRecordAfterSignon)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Bare", Bare)
        ->Arg(static_cast<int64_t>(calls))
        ->Unit(benchmark::kMillisecond);
    return bench::RunWithRatios(
        argc, argv,
        {{"FirstRecordAfterSignon", "Bare/" + std::to_string(calls),
          "sign-on end to the first record shown after a find / its bare round trips", false}});
}
