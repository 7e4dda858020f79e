#include "tests/support/source_fixture.h"

#include <QTextEdit>
#include <algorithm>

#include "broker/broker_ui.h"
#include "source/dialog_text.h"
#include "source/internal/message_broker.h"
#include "source/timed_dialog.h"
#include "source/timed_message.h"
#include "tests/support/silent_broker_ui.h"

namespace vorn::test {
namespace {

// The sign-on greeting goes to the broker's front; component tests do not look at it.
vorn::test::SilentBrokerUi gQuiet;

}  // namespace

SourceServer::SourceServer(DevServerProcess::Options options) : server_(std::move(options)) {
    SetBrokerUi(&gQuiet);
}

SourceServer::~SourceServer() {
    brokers_.clear();
    SetMessageBroker(nullptr);
    SetBrokerUi(nullptr);
}

TRPCBroker& SourceServer::Broker() {
    if (brokers_.empty()) {
        auto broker = SignedOnBroker(kFirstHost, server_.Port());
        broker->setObjectName(QStringLiteral("RPCBroker1"));
        // The message dialog's captions are fetched once per program; fetched here, so that
        // the calls a test counts do not depend on the tests that ran before it.
        SetMessageBroker(broker.get());
        ClearDialogTextCache();
        DialogText(1);
        brokers_.push_back(std::move(broker));
    }
    return *brokers_.front();
}

TRPCBroker& SourceServer::SecondBroker(const QString& codes) {
    Broker();
    brokers_.push_back(SignedOnBroker(kSecondHost, server_.Port(), codes));
    return *brokers_.back();
}

void SourceServer::Expect(ui::MessageKind kind, const QString& text, int result) {
    ExpectToolsetMessage(modal, kind, text, result);
}

std::size_t SourceServer::CallCount(std::size_t mark, const std::string& name) const {
    const std::vector<std::string> names = CallNamesSince(mark);
    return static_cast<std::size_t>(std::count(names.begin(), names.end(), name));
}

QString ShownToolsetText(const QString& text) {
    QString shown = BreakAtColons(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

void ExpectToolsetMessage(ScriptedModalHost& host, ui::MessageKind kind, const QString& text,
                          int result, std::function<void()> whileShown) {
    host.OnForm<TTimedDlg>([kind, text, result, whileShown](TTimedDlg& dialog) {
        if (whileShown) whileShown();
        EXPECT_EQ(dialog.RichEdit1->toPlainText().toStdString(),
                  ShownToolsetText(text).toStdString());
        const char* captions[] = {"Warning", "Error", "Information", "Confirmation"};
        EXPECT_EQ(dialog.windowTitle().section(QStringLiteral("  - "), 0, 0).toStdString(),
                  captions[static_cast<int>(kind)]);
        dialog.done(result);
    });
}

}  // namespace vorn::test
