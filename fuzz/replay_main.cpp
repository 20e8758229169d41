// Runs the inputs of a fuzz corpus through the target's LLVMFuzzerTestOneInput
// without libFuzzer, so that the ordinary build and test command keep every
// input of the corpus passing. Arguments: files or folders of inputs.
#include "fuzz/FuzzCheck.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> inputsOf(const fs::path &path)
{
    std::vector<fs::path> inputs;
    if (fs::is_directory(path)) {
        for (const fs::directory_entry &entry : fs::recursive_directory_iterator(path)) {
            if (entry.is_regular_file())
                inputs.push_back(entry.path());
        }
        std::sort(inputs.begin(), inputs.end());
    } else {
        inputs.push_back(path);
    }
    return inputs;
}

} // namespace

int main(int argc, char *argv[])
{
    LLVMFuzzerInitialize(&argc, &argv);
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        if (!fs::exists(argv[i])) {
            std::cerr << "no such input: " << argv[i] << '\n';
            return 1;
        }
        for (const fs::path &input : inputsOf(argv[i])) {
            std::ifstream file(input, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
            std::cerr << "replaying " << input.filename().string() << " (" << bytes.size() << " bytes)\n";
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    std::cerr << replayed << " inputs replayed\n";
    return replayed > 0 ? 0 : 1;
}
