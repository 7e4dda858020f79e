#include "tests/support/source_fixture.h"

#include <QTextEdit>
#include <fstream>
#include <regex>

#include "broker/broker_ui.h"
#include "devserver/server.h"
#include "source/message_broker.h"
#include "source/timed_dialog.h"
#include "source/timed_message.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::test {
namespace {

// The sign-on greeting goes to the broker's front; component tests do not look at it.
class QuietUi final : public BrokerUi {
  public:
    void ShowMessage(const QString&) override {}
};
QuietUi gQuiet;

const QString kContext = QStringLiteral("ZAZIRERO");

}  // namespace

struct SourceServer::Impl {
    devserver::test::TempFolder folder;
    std::string logPath;
    std::unique_ptr<devserver::Server> server;
    std::vector<std::unique_ptr<TRPCBroker>> brokers;
};

SourceServer::SourceServer() : impl_(std::make_unique<Impl>()) {
    SetBrokerUi(&gQuiet);
    devserver::ServerOptions o =
        devserver::test::TestOptions(devserver::test::SeededDatabaseCopy(impl_->folder));
    impl_->logPath = impl_->folder.Path("calls.log");
    o.logPath = impl_->logPath;
    impl_->server = std::make_unique<devserver::Server>(o);
    impl_->server->Start();
}

SourceServer::~SourceServer() {
    impl_->brokers.clear();
    impl_->server.reset();
    SetMessageBroker(nullptr);
    SetBrokerUi(nullptr);
}

int SourceServer::Port() const {
    return impl_->server->Port();
}

TRPCBroker& SourceServer::Broker() {
    if (impl_->brokers.empty()) {
        auto broker = std::make_unique<TRPCBroker>();
        broker->setObjectName(QStringLiteral("RPCBroker1"));
        broker->SetServer(QStringLiteral("127.0.0.1"));
        broker->SetListenerPort(Port());
        broker->PresetCodes = kDemoCodes;
        if (!broker->OpenAppContext(kContext)) ADD_FAILURE() << "the demo context was refused";
        impl_->brokers.push_back(std::move(broker));
    }
    return *impl_->brokers.front();
}

TRPCBroker& SourceServer::SecondBroker(const QString& codes) {
    Broker();
    auto broker = std::make_unique<TRPCBroker>();
    broker->SetServer(QStringLiteral("localhost"));
    broker->SetListenerPort(Port());
    broker->PresetCodes = codes;
    if (!broker->OpenAppContext(kContext)) ADD_FAILURE() << "the demo context was refused";
    impl_->brokers.push_back(std::move(broker));
    return *impl_->brokers.back();
}

std::vector<std::string> SourceServer::CallNames() const {
    std::vector<std::string> names;
    std::ifstream log(impl_->logPath);
    static const std::regex call(R"re( call="([^"]*)")re");
    std::smatch m;
    for (std::string line; std::getline(log, line);)
        if (std::regex_search(line, m, call)) names.push_back(m[1]);
    return names;
}

std::vector<std::string> SourceServer::CallNamesSince(std::size_t mark) const {
    std::vector<std::string> names = CallNames();
    names.erase(names.begin(),
                names.begin() + static_cast<std::ptrdiff_t>(std::min(mark, names.size())));
    return names;
}

QString ShownToolsetText(const QString& text) {
    QString shown = BreakAtColons(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

void ExpectToolsetMessage(ScriptedModalHost& host, ui::MessageKind kind, const QString& text,
                          int result) {
    host.OnForm<TTimedDlg>([kind, text, result](TTimedDlg& dialog) {
        const QString shown = dialog.RichEdit1->toPlainText();
        EXPECT_EQ(shown.toStdString(), ShownToolsetText(text).toStdString());
        const char* captions[] = {"Warning", "Error", "Information", "Confirmation"};
        EXPECT_EQ(dialog.windowTitle().section(QStringLiteral("  - "), 0, 0).toStdString(),
                  captions[static_cast<int>(kind)]);
        dialog.done(result);
    });
}

}  // namespace vorn::test
