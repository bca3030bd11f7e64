// Writes the fuzzer's seed corpus: one small file of every kind the readers
// take, from the same fixtures as the reader tests.
#include <cstdio>
#include <string>

#include "image_fixtures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  for (const auto& [name, bytes] : fixtures::AllSamples()) {
    const std::string path = std::string(argv[1]) + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
    std::fclose(f);
  }
  return 0;
}
