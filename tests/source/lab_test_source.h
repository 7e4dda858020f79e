// A form of the tests on the demo's lab tests (file 80001): a data source with stand-in
// controls for .01, 2, 4, 6 and the description, and the four navigation buttons.
#pragma once

#include <QWidget>
#include <algorithm>
#include <utility>

#include "source/internal/source_core.h"
#include "source/vorn_source.h"
#include "tests/support/fake_bound_control.h"
#include "tests/support/fake_operation_button.h"
#include "tests/support/source_fixture.h"

namespace vorn::test {

class LabTestSource : public SourceServer {
  protected:
    explicit LabTestSource(DevServerProcess::Options options = {}) : SourceServer(options) {
        source.setObjectName("vornSource1");
        source.FileName = "Demo Lab Test";
        source.FileNumber = "80001";
        source.HistorySize = 4;
    }

    // Binds `s` (the test's source by default) to `broker` (the test's DEMO broker by default),
    // loads it as a form does and opens it.
    void Open(TRPCBroker* broker = nullptr) { Open(source, broker); }
    void Open(TvornSource& s, TRPCBroker* broker = nullptr) {
        s.SetRPCBroker(broker ? broker : &Broker());
        static_cast<ui::LoadedComponent&>(s).Loaded();
        s.Open();
    }

    // A lab test nothing points to, saved as new without messages.
    void SaveNewLabTest(const QString& text) {
        const bool shown = source.ShowMessages;
        source.ShowMessages = false;
        source.Insert();
        abbreviation.Change(text, text);
        name.Change("To delete", "To delete");
        ASSERT_TRUE(source.SaveAs());
        source.ShowMessages = shown;
    }

    // The calls made by `action`, with their parameters as sent; CallsOf: their names.
    template <typename F>
    std::vector<LoggedCall> SentBy(F&& action) {
        return Server().CallsDuring(action);
    }
    template <typename F>
    std::vector<std::string> CallsOf(F&& action) {
        return Names(SentBy(action));
    }
    SourceCore& Core() { return SourceCore::Of(source); }

    QWidget form;
    TvornSource source;
    FakeBoundControl abbreviation{source, ".01", &form, true};
    FakeBoundControl name{source, "2", &form, true};
    FakeBoundControl introduced{source, "4", &form};
    FakeBoundControl length{source, "6", &form};
    FakeBoundControl description{source, "100", &form, false, FakeBoundControl::WordProcessing};
    FakeOperationButton first{source, DoFirst, &form};
    FakeOperationButton prior{source, DoPrior, &form};
    FakeOperationButton next{source, DoNext, &form};
    FakeOperationButton last{source, DoLast, &form};
};

using Calls = std::vector<std::string>;

// The first of `calls` named `name`, or their end.
inline auto FirstNamed(const std::vector<LoggedCall>& calls, const std::string& name) {
    return std::find_if(calls.begin(), calls.end(), [&](const auto& c) { return c.name == name; });
}

// The operation and kind of an outcome, or of the last outcome of a source.
inline auto Outcome(const SourceOutcome& o) {
    return std::pair(o.operation, o.kind);
}
inline auto Outcome(const TvornSource& source) {
    return Outcome(source.LastOutcome());
}

// Every list entry of parameter `param` of a call, "subscript=value" in the order sent.
inline std::string ListOf(const LoggedCall& call, int param = 0) {
    std::string out;
    for (const LoggedEntry& e : call.params)
        if (e.param == param && e.kind == "list")
            out += (out.empty() ? "" : " ") + e.subscript + '=' + e.value;
    return out;
}

// A second user, with a source of their own on the lab tests and no messages; the file's
// rights asked of the server unless `fileAccess` is false.
class OtherUser {
  public:
    OtherUser(TRPCBroker& broker, QWidget& form, bool fileAccess = true)
        : name(source, "2", &form) {
        source.setObjectName("otherSource");
        source.FileNumber = "80001";
        source.FMAccessUsed = fileAccess;
        source.ShowMessages = false;
        source.SetRPCBroker(&broker);
        source.Open();
    }
    TvornSource source;
    FakeBoundControl name;
};

}  // namespace vorn::test
