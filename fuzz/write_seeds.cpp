// Writes the input of every session test into a directory, made if need
// be, one file per case named after it: the seed corpus of the fuzz target.
//
//   write_seeds DIRECTORY
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "session_table.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_seeds DIRECTORY\n");
    return 2;
  }
  std::error_code error;
  std::filesystem::create_directories(argv[1], error);
  if (error) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.message().c_str());
    return 1;
  }
  int written = 0;
  for (const SessionCase& c : all_sessions()) {
    // Numbered, since two tables may name a case alike.
    const std::string path = std::string(argv[1]) + "/" + std::to_string(written) + "-" + c.name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
      std::perror(path.c_str());
      return 1;
    }
    const bool ok = std::fwrite(c.input.data(), 1, c.input.size(), file) == c.input.size();
    if (std::fclose(file) != 0 || !ok) {
      std::perror(path.c_str());
      return 1;
    }
    ++written;
  }
  if (written == 0) {
    std::fprintf(stderr, "write_seeds: no session cases were linked\n");
    return 1;
  }
  std::printf("%d seeds written to %s\n", written, argv[1]);
  return 0;
}
