// Records the x87 results that src/light/extended_soft_vectors.inc carries to
// processors without an x87, for the emulation's unit test to reproduce:
//
//   cmake --workflow --preset tools
//   build-tools/record_x87_vectors src/light/extended_soft_vectors.inc
//
// It takes the unit test in whole, so that the draws, the operations and the
// encoding of each result are exactly the ones the test reads back. Its
// tests are linked but never run.
#include "light/extended_soft_test.cpp"

#include <cctype>
#include <string>

#if !COSMIC_NATIVE_X87
#error "the vectors are recorded on x86-64, whose long double is the x87 format"
#endif

namespace {

constexpr int VECTORS_PER_KIND = 250;

// The enumerator of a kind from its display name: "FromDouble" is from_double.
std::string enumerator(const char* name) {
  std::string spelled;
  for (const char* c = name; *c != '\0'; ++c) {
    if (c != name && std::isupper(static_cast<unsigned char>(*c))) spelled += '_';
    spelled += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  }
  return spelled;
}

void record(std::FILE* out) {
  std::fprintf(out,
               "// x87 results recorded by tools/record_x87_vectors.cpp: kind, a (sign/exponent,\n"
               "// significand), b, result. Regenerate, do not edit.\n");
  for (int k = 0; k < KIND_COUNT; ++k) {
    const Kind kind = static_cast<Kind>(k);
    Rng rng(0x7EC0DE00 + static_cast<u64>(k));
    for (int i = 0; i < VECTORS_PER_KIND; ++i) {
      const Pair p = draw_case(kind, rng);
      const Ext r = native_result(kind, p.a, p.b);
      std::fprintf(
          out, "{Kind::%s, 0x%x, 0x%" PRIx64 ", 0x%x, 0x%" PRIx64 ", 0x%x, 0x%" PRIx64 "},\n",
          enumerator(KIND_NAMES[k]).c_str(), p.a.se, p.a.sig, p.b.se, p.b.sig, r.se, r.sig);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: record_x87_vectors FILE\n");
    return 2;
  }
  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  record(out);
  if (std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
