// Replays saved inputs through a fuzz target without libFuzzer: every file of
// each folder (or each file) named on the command line goes once through the
// target's LLVMFuzzerTestOneInput.  A failing input aborts the run, so the
// test that runs this fails; the file being replayed is printed first.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER-OR-FILE...\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        std::error_code ec;
        if (fs::is_directory(arg, ec)) {
            for (const fs::directory_entry& e : fs::directory_iterator(arg))
                if (e.is_regular_file() && e.path().filename().string().front() != '.') inputs.push_back(e.path());
        } else if (fs::is_regular_file(arg, ec)) {
            inputs.push_back(arg);
        } else {
            std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
            return 2;
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "no input to replay\n");
        return 2;
    }
    for (const fs::path& path : inputs) {
        std::fprintf(stderr, "replaying %s\n", path.string().c_str());
        const std::vector<std::uint8_t> bytes = ReadAll(path);
        // An empty vector's data() may be null; libFuzzer never passes null.
        static const std::uint8_t kNothing = 0;
        LLVMFuzzerTestOneInput(bytes.empty() ? &kNothing : bytes.data(), bytes.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
