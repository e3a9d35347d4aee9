// Runs a fuzz entry point over every file below the folders given, so that the
// seeds and the reproducers of past findings run with the ordinary tests.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path root(argv[i]);
        if (fs::is_directory(root)) {
            for (const auto& e : fs::recursive_directory_iterator(root))
                if (e.is_regular_file())
                    files.push_back(e.path());
        } else if (fs::is_regular_file(root)) {
            files.push_back(root);
        } else {
            std::fprintf(stderr, "seed runner: %s is neither a file nor a folder\n", argv[i]);
            return 2;
        }
    }
    // An empty input is always worth a run, and proves the entry point links.
    LLVMFuzzerTestOneInput(nullptr, 0);
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs ran clean\n", files.size() + 1);
    return 0;
}
