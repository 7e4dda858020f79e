#include "tests/devserver/record_fixture.h"

#include "broker/broker_link.h"
#include "broker/broker_ui.h"
#include "broker/rpc_params.h"

namespace vorn::devserver::test {
namespace {

// The sign-on greeting is shown through the broker's front; these tests do not look at it.
class QuietUi final : public BrokerUi {
  public:
    void ShowMessage(const QString&) override {}
};
QuietUi gQuiet;

}  // namespace

void RecordServer::SetUp() {
    SetBrokerUi(&gQuiet);
    dataPath_ = SeededDatabaseCopy(folder);
    ServerOptions o = TestOptions(dataPath_);
    o.clock = &clock;
    server = std::make_unique<Server>(o);
    server->Start();
}

void RecordServer::TearDown() {
    brokers_.clear();
    store_.reset();
    server.reset();
    SetBrokerUi(nullptr);
}

TRPCBroker& RecordServer::Broker(const QString& codes, const QString& host) {
    auto broker = std::make_unique<TRPCBroker>();
    broker->SetServer(host);
    broker->SetListenerPort(server->Port());
    broker->PresetCodes = codes;
    if (!broker->OpenAppContext(QStringLiteral("ZAZIRERO")))
        throw std::runtime_error("the demo context was refused");
    brokers_.push_back(std::move(broker));
    return *brokers_.back();
}

QStringList RecordServer::CallList(TRPCBroker& broker, const QString& name,
                                   const Entries& entries) {
    broker.SetClearParameters(true);
    broker.SetClearResults(true);
    broker.RemoteProcedure = name;
    broker.Param[0].Value = QStringLiteral(".DDR");
    broker.Param[0].ParamKind = TParamType::list;
    for (const auto& [subscript, value] : entries)
        broker.Param[0].Mult[subscript] = value;
    broker.CallRemote();
    return broker.Results;
}

QStringList RecordServer::Gets(TRPCBroker& broker, const QString& file, const QString& fields,
                               const QString& iens) {
    return CallList(
        broker, QStringLiteral("DDR GETS ENTRY DATA"),
        {{"\"FILE\"", file}, {"\"FIELDS\"", fields}, {"\"IENS\"", iens}, {"\"FLAGS\"", "IE"}});
}

QStringList RecordServer::File(TRPCBroker& broker, const QString& mode, const QStringList& lines,
                               const Entries& text, const Entries& wishes) {
    broker.SetClearParameters(true);
    broker.SetClearResults(true);
    broker.RemoteProcedure = QStringLiteral("DDR FILER");
    broker.Param[0].Value = mode;
    broker.Param[0].ParamKind = TParamType::literal;
    broker.Param[1].Value = QStringLiteral(".DDR");
    broker.Param[1].ParamKind = TParamType::list;
    for (int i = 0; i < lines.size(); ++i)
        broker.Param[1].Mult[QString::number(i + 1)] = lines[i];
    for (const auto& [subscript, value] : text)
        broker.Param[1].Mult[subscript] = value;
    broker.Param[2].Value = QString();
    broker.Param[2].ParamKind = TParamType::literal;
    if (!wishes.empty()) {
        broker.Param[3].Value = QStringLiteral(".DDRIEN");
        broker.Param[3].ParamKind = TParamType::list;
        for (const auto& [subscript, value] : wishes)
            broker.Param[3].Mult[subscript] = value;
    }
    broker.CallRemote();
    return broker.Results;
}

QString RecordServer::Lock(TRPCBroker& broker, const QString& file, const QString& ien,
                           const QString& act) {
    const QStringList lines = CallList(broker, QStringLiteral("VRNX LOCKS"),
                                       {{"\"FILE\"", file}, {"\"IEN\"", ien}, {"\"ACT\"", act}});
    if (lines.size() != 3 || lines[0] != "[BEGIN_diDATA]" || lines[2] != "[END_diDATA]")
        return QStringLiteral("unexpected: ") + lines.join('|');
    return lines[1];
}

void RecordServer::DropConnection(TRPCBroker& broker) {
    BrokerLink* link = broker.Link();
    if (!link) return;
    link->socket.SetLingerZero();
    link->socket.Close();
    link->linked = false;
}

GlobalStore& RecordServer::Store() {
    if (!store_) store_ = std::make_unique<GlobalStore>(dataPath_);
    return *store_;
}

QStringList Lines(std::initializer_list<const char*> lines) {
    QStringList out;
    for (const char* l : lines)
        out << QString::fromUtf8(l);
    return out;
}

}  // namespace vorn::devserver::test
