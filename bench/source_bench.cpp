// What the data source's four everyday actions cost: reading a record, moving to the next one,
// editing one field and saving it, and saving a new record, on the same link to the real
// vorn-server, measured in the same run against two baselines:
// - the same number of minimal calls ("XUS SIGNON SETUP", which touches no record): what the
//   source, the server's record work and the answers' reading add to the round trips;
// - the very calls the action made, as the server logged them, replayed through the broker
//   alone: the client's own share, everything the source does beyond sending them.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "broker/broker_ui.h"
#include "broker/rpc_broker.h"
#include "source/dialog_text.h"
#include "source/internal/message_broker.h"
#include "source/vorn_source.h"
#include "tests/support/dev_server_process.h"
#include "tests/support/fake_bound_control.h"
#include "tests/support/fake_operation_button.h"
#include "tests/support/silent_broker_ui.h"
#include "toolkit/modal_seam.h"

namespace {

using namespace vorn;

// Every question answered Yes, every report closed at once.
class Answering final : public ui::ModalHost {
  public:
    int ShowMessage(QWidget*, const ui::MessageRequest&) override { return ui::mrOk; }
    int ExecModal(QDialog&) override { return ui::mrYes; }
    bool ChooseFont(QWidget*, QFont&) override { return false; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    bool PrinterSetup(QWidget*, QPrinter&) override { return false; }
};

struct World {
    Answering answering;
    vorn::test::SilentBrokerUi quiet;
    test::DevServerProcess server;
    TRPCBroker broker;
    QWidget form;
    TvornSource source;
    std::unique_ptr<test::FakeBoundControl> abbreviation, name, introduced, length;
    std::unique_ptr<test::FakeOperationButton> next, prior;
    int newRecords = 0;

    World() {
        ui::SetModalHost(&answering);
        SetBrokerUi(&quiet);
        broker.SetServer(QStringLiteral("127.0.0.1"));
        broker.SetListenerPort(server.Port());
        broker.PresetCodes = QStringLiteral("DEMO;DEMO.1234");
        if (!broker.OpenAppContext(QStringLiteral("ZAZIRERO")))
            throw std::runtime_error("the demo context was refused");
        SetMessageBroker(&broker);
        DialogText(1);  // the message dialog's captions are fetched once per program
        source.FileName = QStringLiteral("Demo Lab Test");
        source.FileNumber = QStringLiteral("80001");
        source.HistorySize = 4;
        abbreviation = std::make_unique<test::FakeBoundControl>(source, ".01", &form, true);
        name = std::make_unique<test::FakeBoundControl>(source, "2", &form, true);
        introduced = std::make_unique<test::FakeBoundControl>(source, "4", &form);
        length = std::make_unique<test::FakeBoundControl>(source, "6", &form);
        next = std::make_unique<test::FakeOperationButton>(source, DoNext, &form);
        prior = std::make_unique<test::FakeOperationButton>(source, DoPrior, &form);
        source.SetRPCBroker(&broker);
        source.Open();
        source.GetAndFill(QStringLiteral("1"));
    }

    void Read() { source.GetAndFill(QStringLiteral("1")); }
    void MoveNext() { source.Next(); }
    void EditAndSave(int i) {
        const QString text = i % 2 ? QStringLiteral("Haemoglobin") : QStringLiteral("Hemoglobin");
        name->Change(text, text);
        source.ValidateField(QStringLiteral("2"), text);
        source.Save();
    }
    void SaveNew() {
        source.Insert();
        const QString text = QStringLiteral("N%1").arg(++newRecords);
        abbreviation->Change(text, text);
        name->Change(QStringLiteral("New test"), QStringLiteral("New test"));
        length->Change(QStringLiteral("5"), QStringLiteral("5"));
        source.SaveAs();
    }
    void Bare() { broker.Call(RpcRequest(QStringLiteral("XUS SIGNON SETUP"))); }

    // The calls of an action as the server logged them, to be sent again as they were.
    std::vector<RpcRequest> Recorded(const std::vector<test::LoggedCall>& calls) {
        std::vector<RpcRequest> requests;
        for (const test::LoggedCall& call : calls) {
            RpcRequest request(QString::fromStdString(call.name));
            int param = -1;
            for (const test::LoggedEntry& e : call.params) {
                const QString value = QString::fromStdString(e.value);
                if (e.kind == "literal") {
                    request.Literal(value);
                } else if (e.kind == "reference") {
                    request.Reference(value);
                } else if (e.kind == "empty list" || e.param != param) {
                    request.List(QStringLiteral(".x"));
                    if (e.kind == "list") request.Entry(QString::fromStdString(e.subscript), value);
                } else {
                    request.Entry(QString::fromStdString(e.subscript), value);
                }
                param = e.param;
            }
            requests.push_back(std::move(request));
        }
        return requests;
    }
    void Replay(const std::vector<RpcRequest>& requests) {
        for (const RpcRequest& request : requests)
            broker.Call(request);
    }
    std::map<std::string, std::vector<RpcRequest>> replays;

    // The calls `action` makes, from the server's log; kept for the replay named `what`.
    template <typename F>
    std::size_t CallsOf(const char* what, F&& action) {
        const std::size_t mark = server.Mark();
        action();
        const std::vector<test::LoggedCall> calls = server.CallsSince(mark);
        std::printf("%s:", what);
        for (const test::LoggedCall& c : calls)
            std::printf(" %s,", c.name.c_str());
        std::printf("\n");
        replays[what] = Recorded(calls);
        return calls.size();
    }
};

World& TheWorld() {
    static World world;
    return world;
}

void Read(benchmark::State& state) {
    World& w = TheWorld();
    for (auto _ : state)
        w.Read();
}
void Next(benchmark::State& state) {
    World& w = TheWorld();
    for (auto _ : state) {
        state.PauseTiming();
        w.Read();
        state.ResumeTiming();
        w.MoveNext();
    }
}
void EditAndSave(benchmark::State& state) {
    World& w = TheWorld();
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.Read();
        state.ResumeTiming();
        w.EditAndSave(++i);
    }
}
void SaveNew(benchmark::State& state) {
    World& w = TheWorld();
    for (auto _ : state)
        w.SaveNew();
}
void Replayed(benchmark::State& state, const char* action) {
    World& w = TheWorld();
    const std::vector<RpcRequest>& requests = w.replays.at(action);
    for (auto _ : state)
        w.Replay(requests);
}

void Bare(benchmark::State& state) {
    World& w = TheWorld();
    for (auto _ : state)
        for (int i = 0; i < state.range(0); ++i)
            w.Bare();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    World& w = TheWorld();
    // The number of round trips of each action, as the server counts them.
    const std::size_t reads = w.CallsOf("read", [&] { w.Read(); });
    w.Read();
    const std::size_t nexts = w.CallsOf("next", [&] { w.MoveNext(); });
    w.Read();
    const std::size_t saves = w.CallsOf("edit and save", [&] { w.EditAndSave(1); });
    const std::size_t news = w.CallsOf("save new", [&] { w.SaveNew(); });
    std::printf("round trips: read %zu, next %zu, edit and save %zu, save new %zu\n", reads, nexts,
                saves, news);
    benchmark::RegisterBenchmark("Read", Read)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Next", Next)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("EditAndSave", EditAndSave)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("SaveNew", SaveNew)->Unit(benchmark::kMillisecond);
    for (const char* action : {"read", "next", "edit and save", "save new"})
        benchmark::RegisterBenchmark((std::string("Replay/") + action).c_str(), Replayed, action)
            ->Unit(benchmark::kMillisecond);
    for (std::size_t n : {reads, nexts, saves, news})
        benchmark::RegisterBenchmark("Bare", Bare)
            ->Arg(static_cast<int64_t>(n))
            ->Unit(benchmark::kMillisecond);
    auto bare = [](std::size_t n) { return "Bare/" + std::to_string(n); };
    return bench::RunWithRatios(
        argc, argv,
        {{"Read", bare(reads), "reading a record / its bare round trips", false},
         {"Next", bare(nexts), "moving to the next record / its bare round trips", false},
         {"EditAndSave", bare(saves), "editing one field and saving / its bare round trips", false},
         {"SaveNew", bare(news), "saving a new record / its bare round trips", false},
         {"Read", "Replay/read", "reading a record / its calls through the broker alone", false},
         {"Next", "Replay/next", "moving to the next record / its calls alone", false},
         {"EditAndSave", "Replay/edit and save", "editing and saving / its calls alone", false},
         {"SaveNew", "Replay/save new", "saving a new record / its calls alone", false}});
}
