#include "tests/devserver/listing_fixture.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "devserver/file_records.h"
#include "devserver/seed.h"

namespace vorn::devserver::test {

void ListingTest::StartServer(const std::function<void(GlobalStore&, const Dictionary&)>& addData,
                              const std::function<std::string(std::string)>& dictionaryText) {
    dataPath = SeededDatabaseCopy(folder);
    std::string seedFolder = DefaultSeedFolder();
    if (dictionaryText) {
        const std::string own = folder.Path("seed");
        std::filesystem::create_directories(own);
        for (const char* name : {"demo.zwr", "users.txt"})
            std::filesystem::copy_file(seedFolder + "/" + name, own + "/" + name);
        std::ifstream in(seedFolder + "/dictionary.vdd");
        std::stringstream text;
        text << in.rdbuf();
        std::ofstream(own + "/dictionary.vdd") << dictionaryText(text.str());
        seedFolder = own;
    }
    dictionary = Dictionary::Load(seedFolder + "/dictionary.vdd");
    if (addData) {
        GlobalStore store(dataPath);
        store.Atomically([&] { addData(store, *dictionary); });
    }
    ServerOptions options = TestOptions(dataPath);
    options.seedFolder = seedFolder;
    server = std::make_unique<Server>(options);
    server->Start();
    SetBrokerUi(&ui);
    broker = std::make_unique<TRPCBroker>();
    broker->SetServer("127.0.0.1");
    broker->SetListenerPort(server->Port());
    broker->PresetCodes = "DEMO;DEMO.1234";
    ASSERT_TRUE(broker->OpenAppContext("ZAZIRERO"));
}

void ListingTest::TearDown() {
    broker.reset();
    if (server) server->Stop();
    SetBrokerUi(nullptr);
}

std::vector<std::string> ListingTest::Call(const std::string& procedure, const Entries& entries) {
    broker->SetClearResults(true);
    broker->SetClearParameters(true);
    broker->RemoteProcedure = QString::fromStdString(procedure);
    broker->Param[0].Value = ".DDR";
    broker->Param[0].ParamKind = TParamType::list;
    for (const auto& [subscript, value] : entries)
        broker->Param[0].Mult[QString::fromStdString(subscript)] = QString::fromStdString(value);
    broker->CallRemote();
    std::vector<std::string> lines;
    for (const QString& line : broker->Results)
        lines.push_back(line.toStdString());
    return lines;
}

void ListingTest::ExpectStillServing() {
    const auto lines =
        Call("DDR LISTER",
             {{"\"FILE\"", "80002"}, {"\"FIELDS\"", ".01;"}, {"\"MAX\"", "2"}, {"\"XREF\"", "B"}});
    EXPECT_EQ(lines, (std::vector<std::string>{"[Misc]", "MORE^CHILDREN'S WARD^5", "[Data]",
                                               "8^CARDIOLOGY CLINIC", "5^CHILDREN'S WARD"}));
}

void ListingTest::AddRecord(GlobalStore& store, const Dictionary& dict, const std::string& file,
                            const std::string& ien,
                            const std::vector<std::pair<std::string, std::string>>& nodes) {
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

void ListingTest::SetField(GlobalStore& store, const Dictionary& dict, const std::string& file,
                           const std::string& ien, const std::string& field,
                           const std::string& value) {
    const FileDef* f = dict.File(file);
    RemoveIndexEntries(store, dict, *f, f->root, ien);
    SetFieldValue(store, f->root.Child(ien), *f->Field(field), value);
    AddIndexEntries(store, dict, *f, f->root, ien);
}

std::vector<std::string> ListingTest::RecordNumbers(const std::string& file) {
    GlobalStore store(dataPath);
    const FileDef* f = dictionary->File(file);
    std::vector<std::string> out;
    for (std::string ien = store.Order(f->root.Child("0")); IsCanonicText(ien);
         ien = store.Order(f->root.Child(ien)))
        out.push_back(ien);
    return out;
}

std::string ListingTest::FieldOf(const std::string& file, const std::string& ien,
                                 const std::string& field) {
    GlobalStore store(dataPath);
    const FileDef* f = dictionary->File(file);
    return GetFieldValue(store, f->root.Child(ien), *f->Field(field));
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

std::vector<std::string> Pieces(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const auto at = line.find('^', start);
        out.push_back(line.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return out;
        start = at + 1;
    }
}

}  // namespace vorn::devserver::test
