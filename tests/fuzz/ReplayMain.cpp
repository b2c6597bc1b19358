// Replays inputs through the fuzz entry function without libFuzzer: every file named on the
// command line, and every file inside each folder named there (dot files skipped), in name
// order. Fails when it finds no input at all, so that a wrong path cannot pass.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs(const fs::path& argument) {
    std::vector<fs::path> inputs;
    if (!fs::is_directory(argument)) {
        inputs.push_back(argument);
        return inputs;
    }
    for (const auto& entry : fs::directory_iterator(argument)) {
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.') {
            inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

bool Replay(const fs::path& input) {
    std::ifstream stream(input, std::ios::binary);
    if (!stream) {
        std::fprintf(stderr, "cannot read %s\n", input.string().c_str());
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(stream)),
                               std::istreambuf_iterator<char>());
    std::printf("%s (%zu bytes)\n", input.string().c_str(), bytes.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& input : Inputs(argv[i])) {
            if (!Replay(input)) {
                return 1;
            }
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return replayed > 0 ? 0 : 1;
}
