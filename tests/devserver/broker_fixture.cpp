#include "tests/devserver/broker_fixture.h"

#include <filesystem>
#include <fstream>
#include <regex>

#include "broker/broker_ui.h"
#include "broker/rpc_params.h"
#include "devserver/files/file_records.h"
#include "devserver/files/seed.h"
#include "tests/support/dev_server_process.h"
#include "tests/support/silent_broker_ui.h"

namespace vorn::devserver::test {
namespace {

// The sign-on greeting is shown through the broker's front; these tests do not look at it.
vorn::test::SilentBrokerUi gQuiet;

QString Subscript(const std::string& name) {
    if (!name.empty() && name[0] == '"') return QString::fromStdString(name);
    std::string out;
    for (const std::string& part : SplitText(name, ','))
        out += (out.empty() ? "" : ",") + (IsCanonicText(part) ? part : "\"" + part + "\"");
    return QString::fromStdString(out);
}

void Fill(TParamRecord& param, const Entries& entries) {
    param.Value = QStringLiteral(".DDR");
    param.ParamKind = TParamType::list;
    for (const auto& [subscript, value] : entries)
        param.Mult[Subscript(subscript)] = QString::fromStdString(value);
}

Lines Results(TRPCBroker& broker) {
    broker.CallRemote();
    Lines lines;
    for (const QString& line : broker.Results)
        lines.push_back(line.toStdString());
    return lines;
}

void Prepare(TRPCBroker& broker, const std::string& name) {
    broker.SetClearParameters(true);
    broker.SetClearResults(true);
    broker.RemoteProcedure = QString::fromStdString(name);
}

}  // namespace

void BrokerTest::StartServer(const AddData& addData,
                             const std::function<std::string(std::string)>& dictionaryText) {
    SetBrokerUi(&gQuiet);
    dataPath = SeededDatabase(folder, engine);
    std::string seedFolder = DefaultSeedFolder();
    if (dictionaryText) {
        const std::string own = folder.Path("seed");
        std::filesystem::create_directories(own);
        for (const char* name : {"demo.zwr", "users.txt"})
            std::filesystem::copy_file(seedFolder + "/" + name, own + "/" + name);
        std::ofstream(own + "/dictionary.vdd")
            << dictionaryText(vorn::test::FileText(seedFolder + "/dictionary.vdd"));
        seedFolder = own;
    }
    dictionary = Dictionary::Load(seedFolder + "/dictionary.vdd");
    if (addData) {
        const auto store = OpenStore(StoreLocation{engine, dataPath});
        store->Atomically([&] { addData(*store, *dictionary); });
    }
    ServerOptions options = TestOptions(dataPath, engine);
    options.seedFolder = seedFolder;
    options.clock = &clock;
    if (adjustOptions) adjustOptions(options);
    server = std::make_unique<Server>(options);
    server->Start();
}

void BrokerTest::TearDown() {
    brokers_.clear();
    store_.reset();
    server.reset();
    SetBrokerUi(nullptr);
}

TRPCBroker& BrokerTest::Broker(const QString& codes, const QString& host) {
    brokers_.push_back(vorn::test::SignedOnBroker(host, port ? port : server->Port(), codes));
    return *brokers_.back();
}

Lines BrokerTest::CallList(TRPCBroker& broker, const std::string& name, const Entries& entries) {
    Prepare(broker, name);
    Fill(broker.Param[0], entries);
    return Results(broker);
}

Lines BrokerTest::CallLiteral(TRPCBroker& broker, const std::string& name,
                              const std::string& value) {
    Prepare(broker, name);
    broker.Param[0].Value = QString::fromStdString(value);
    broker.Param[0].ParamKind = TParamType::literal;
    return Results(broker);
}

Lines BrokerTest::Gets(TRPCBroker& broker, const std::string& file, const std::string& fields,
                       const std::string& iens) {
    return CallList(broker, "DDR GETS ENTRY DATA",
                    {{"FILE", file}, {"FIELDS", fields}, {"IENS", iens}, {"FLAGS", "IE"}});
}

Lines BrokerTest::File(TRPCBroker& broker, const std::string& mode, const Lines& lines,
                       const Entries& text, const Entries& wishes) {
    Prepare(broker, "DDR FILER");
    broker.Param[0].Value = QString::fromStdString(mode);
    broker.Param[0].ParamKind = TParamType::literal;
    Entries numbered;
    for (std::size_t i = 0; i < lines.size(); ++i)
        numbered.push_back({std::to_string(i + 1), lines[i]});
    numbered.insert(numbered.end(), text.begin(), text.end());
    Fill(broker.Param[1], numbered);
    broker.Param[2].Value = QString();
    broker.Param[2].ParamKind = TParamType::literal;
    if (!wishes.empty()) {
        Fill(broker.Param[3], wishes);
        broker.Param[3].Value = QStringLiteral(".DDRIEN");
    }
    return Results(broker);
}

std::string BrokerTest::Lock(TRPCBroker& broker, const std::string& file, const std::string& ien,
                             const std::string& act) {
    const Lines lines =
        CallList(broker, "VRNX LOCKS", {{"FILE", file}, {"IEN", ien}, {"ACT", act}});
    if (lines.size() != 3 || lines[0] != "[BEGIN_diDATA]" || lines[2] != "[END_diDATA]")
        return "unexpected: " + (lines.empty() ? std::string() : lines[0]);
    return lines[1];
}

void BrokerTest::ExpectStillServing() {
    EXPECT_EQ(Call("DDR LISTER", {{"FILE", "80002"}, {"FIELDS", ".01;"}, {"MAX", "2"}}),
              (Lines{"[Misc]", "MORE^CHILDREN'S WARD^5", "[Data]", "8^CARDIOLOGY CLINIC",
                     "5^CHILDREN'S WARD"}));
}

void BrokerTest::AddRecord(GlobalStore& store, const Dictionary& dict, const std::string& file,
                           const std::string& ien, const Entries& nodes) {
    const FileDef* f = dict.File(file);
    ASSERT_NE(f, nullptr) << file;
    for (const auto& [node, value] : nodes)
        store.Set(f->root.Child(ien).Child(node), value);
    AddIndexEntries(store, dict, *f, f->root, ien);
    FileHeader header = ReadHeader(store, f->root);
    header.last = std::max(header.last, std::stol(ien));
    ++header.count;
    WriteHeader(store, *f, f->root, header);
}

void BrokerTest::SetField(GlobalStore& store, const Dictionary& dict, const std::string& file,
                          const std::string& ien, const std::string& field,
                          const std::string& value) {
    const FileDef* f = dict.File(file);
    RemoveIndexEntries(store, dict, *f, f->root, ien);
    SetFieldValue(store, f->root.Child(ien), *f->Field(field), value);
    AddIndexEntries(store, dict, *f, f->root, ien);
}

GlobalStore& BrokerTest::Store() {
    if (!store_) store_ = OpenStore(StoreLocation{engine, dataPath});
    return *store_;
}

std::vector<std::string> BrokerTest::RecordNumbers(const std::string& file) {
    const FileDef* f = dictionary->File(file);
    std::vector<std::string> out;
    for (std::string ien = Store().Order(f->root.Child("0")); IsCanonicText(ien);
         ien = Store().Order(f->root.Child(ien)))
        out.push_back(ien);
    return out;
}

std::string BrokerTest::FieldOf(const std::string& file, const std::string& ien,
                                const std::string& field) {
    const FileDef* f = dictionary->File(file);
    return GetFieldValue(Store(), f->root.Child(ien), *f->Field(field));
}

bool IsCanonicText(const std::string& s) {
    static const std::regex canonic(R"(0|-?([1-9][0-9]*(\.[0-9]*[1-9])?|\.[0-9]*[1-9]))");
    return std::regex_match(s, canonic);
}

bool MOrderLess(const std::string& a, const std::string& b) {
    const bool na = IsCanonicText(a), nb = IsCanonicText(b);
    if (na != nb) return na;
    if (na) return std::stold(a) < std::stold(b);
    return a < b;
}

}  // namespace vorn::devserver::test
