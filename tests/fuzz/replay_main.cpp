// Runs kept inputs through a fuzz target's entry point, so that every input that once found a
// fault is tried again by the ordinary test run, built with the ordinary compiler.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        if (!fs::is_directory(argv[i])) {
            files.emplace_back(argv[i]);
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(argv[i]))
            if (entry.is_regular_file() && !entry.path().filename().string().starts_with('.'))
                files.push_back(entry.path());
    }
    // An empty folder would pass without trying anything.
    if (files.empty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes {std::istreambuf_iterator<char>(in), {}};
        if (!in.good() && !in.eof()) {
            std::fprintf(stderr, "cannot read %s\n", file.c_str());
            return 1;
        }
        std::printf("%s\n", file.filename().c_str());
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed\n", files.size());
    return 0;
}
