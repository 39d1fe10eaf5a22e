// Replays fuzz inputs without libFuzzer: each file named, or found in a folder named,
// on the command line is fed once to the target's LLVMFuzzerTestOneInput, so every
// build (and the sanitizer build) runs the seeds and the kept regression inputs.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputFiles(int argc, char** argv) {
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const fs::path named = argv[i];
    if (!fs::is_directory(named)) {
      files.push_back(named);
      continue;
    }
    for (const auto& entry : fs::recursive_directory_iterator(named))
      if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  const std::vector<fs::path> files = inputFiles(argc, argv);
  if (files.empty()) {
    std::cerr << "no inputs\n";
    return 1;
  }
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::cerr << "cannot read " << file << '\n';
      return 1;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    std::cout << file.string() << std::endl;  // the last name printed is the culprit
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::cout << files.size() << " inputs replayed\n";
  return 0;
}
