// Driver for builds without libFuzzer: feeds every file of the given folders (or files) to
// the target, then a batch of random inputs derived from them, and fails on any crash.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::string> ReadInputs(int argc, char** argv) {
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path p(argv[i]);
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(p)) {
            for (const auto& e : std::filesystem::directory_iterator(p))
                if (e.is_regular_file()) files.push_back(e.path());
        } else if (std::filesystem::exists(p)) {
            files.push_back(p);
        }
        for (const auto& f : files) {
            std::ifstream in(f, std::ios::binary);
            inputs.emplace_back(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
        }
    }
    return inputs;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> inputs = ReadInputs(argc, argv);
    for (const auto& in : inputs)
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(in.data()), in.size());
    if (inputs.empty()) inputs.emplace_back();
    // Mutations of the corpus: flipped, inserted and removed bytes, and cuts.
    std::mt19937 gen(12345);
    int runs = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string s = inputs[gen() % inputs.size()];
        const int edits = 1 + static_cast<int>(gen() % 8);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = s.empty() ? 0 : gen() % (s.size() + 1);
            switch (gen() % 4) {
                case 0:
                    if (!s.empty() && at < s.size()) s[at] = static_cast<char>(gen());
                    break;
                case 1:
                    s.insert(at, 1, static_cast<char>(gen()));
                    break;
                case 2:
                    if (at < s.size()) s.erase(at, 1 + gen() % 4);
                    break;
                default:
                    s.resize(at);
                    break;
            }
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
        ++runs;
    }
    std::printf("replayed %zu corpus inputs and %d mutations\n", inputs.size(), runs);
    return 0;
}
