// Micro-benchmarks of the program's hot spots: the extended-precision
// operations (the x87 wrapper next to the software emulation), the light
// arithmetic the dialogs call, and the number scanners on typical entries.
//
// Built twice by run.sh: natively, and with COSMIC_FORCE_EMULATION, where
// `Extended` (and so lichtkm1, kmlicht1 and break_down) is the emulation. The
// per-operation benchmarks name both types explicitly and are the same in
// both builds.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "catalogue/planets.hpp"
#include "catalogue/stars.hpp"
#include "console/scan.hpp"
#include "light/extended.hpp"
#include "light/extended_native.hpp"
#include "light/extended_soft.hpp"
#include "light/light.hpp"

namespace {

constexpr const char* EXTENDED_NAME = COSMIC_EXTENDED_IS_NATIVE ? "native" : "emulated";

// A fixed pseudo-random sequence, so every run sees the same operands.
struct Random {
  std::uint64_t state = 0x9e3779b97f4a7c15u;
  std::uint64_t next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  }
  // Uniform in [0, 1).
  double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  // Spread over magnitudes 10^lo .. 10^hi, roughly log-uniform.
  double magnitude(int lo, int hi) {
    double value = 1.0 + unit() * 9.0;
    const int exponent = lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    for (int i = 0; i < exponent; ++i) value *= 10.0;
    for (int i = 0; i > exponent; --i) value /= 10.0;
    return value;
  }
};

constexpr std::size_t OPERANDS = 1024;

// Operands as the dialogs produce them: distances and factors for * and /,
// mixed signs for + and -, and full 64-bit significands (products) so that
// rounding and to_double do real work.
template <typename T>
struct Operands {
  std::array<T, OPERANDS> a;
  std::array<T, OPERANDS> b;
  explicit Operands(bool mixed_signs) {
    Random random;
    for (std::size_t i = 0; i < OPERANDS; ++i) {
      double x = random.magnitude(-3, 15);
      double y = random.magnitude(-3, 15);
      if (mixed_signs && (random.next() & 1)) y = -y;
      const T third = T::from_double(1.0 / 3.0);
      a[i] = T::from_double(x) * third;
      b[i] = T::from_double(y) * third;
    }
  }
};

enum class Op { add, subtract, multiply, divide };

template <typename T, Op op>
void BM_Operation(benchmark::State& state) {
  const Operands<T> in(op == Op::add || op == Op::subtract);
  std::array<T, OPERANDS> out;
  for (auto _ : state) {
    for (std::size_t i = 0; i < OPERANDS; ++i) {
      switch (op) {
        case Op::add:
          out[i] = in.a[i] + in.b[i];
          break;
        case Op::subtract:
          out[i] = in.a[i] - in.b[i];
          break;
        case Op::multiply:
          out[i] = in.a[i] * in.b[i];
          break;
        case Op::divide:
          out[i] = in.a[i] / in.b[i];
          break;
      }
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * OPERANDS));
}

// The same operations as a dependent chain that keeps the running value in
// a register, with each operand widened from a double as the dialogs do:
// the latency of one operation rather than the throughput over memory.
template <typename T, Op op>
void BM_Chain(benchmark::State& state) {
  Random random;
  std::array<double, OPERANDS> d;
  for (double& x : d) {
    // Factors near 1 keep a product in range; mixed signs keep a sum small.
    x = (op == Op::add || op == Op::subtract)
            ? random.magnitude(0, 12) * (random.next() & 1 ? 1 : -1)
            : 0.75 + random.unit() * 0.5;
  }
  T x = T::from_double(1.0 / 3.0);
  for (auto _ : state) {
    for (double operand : d) {
      const T y = T::from_double(operand);
      switch (op) {
        case Op::add:
          x = x + y;
          break;
        case Op::subtract:
          x = x - y;
          break;
        case Op::multiply:
          x = x * y;
          break;
        case Op::divide:
          x = x / y;
          break;
      }
    }
    benchmark::DoNotOptimize(x);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * OPERANDS));
}

template <typename T>
void BM_ToDouble(benchmark::State& state) {
  const Operands<T> in(false);
  std::array<double, OPERANDS> out;
  for (auto _ : state) {
    for (std::size_t i = 0; i < OPERANDS; ++i) out[i] = in.a[i].to_double();
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * OPERANDS));
}

template <typename T>
void BM_Compare(benchmark::State& state) {
  const Operands<T> in(true);
  std::array<bool, OPERANDS> out;
  for (auto _ : state) {
    for (std::size_t i = 0; i < OPERANDS; ++i) out[i] = in.a[i] >= in.b[i];
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * OPERANDS));
}

template <typename T>
void register_operations(const char* type) {
  // The library copies the names.
  const auto name = [type](const char* op) { return "op_" + std::string(op) + "/" + type; };
  benchmark::RegisterBenchmark(name("add").c_str(), BM_Operation<T, Op::add>);
  benchmark::RegisterBenchmark(name("subtract").c_str(), BM_Operation<T, Op::subtract>);
  benchmark::RegisterBenchmark(name("multiply").c_str(), BM_Operation<T, Op::multiply>);
  benchmark::RegisterBenchmark(name("divide").c_str(), BM_Operation<T, Op::divide>);
  benchmark::RegisterBenchmark(name("to_double").c_str(), BM_ToDouble<T>);
  benchmark::RegisterBenchmark(name("compare").c_str(), BM_Compare<T>);
  benchmark::RegisterBenchmark(name("add_chain").c_str(), BM_Chain<T, Op::add>);
  benchmark::RegisterBenchmark(name("subtract_chain").c_str(), BM_Chain<T, Op::subtract>);
  benchmark::RegisterBenchmark(name("multiply_chain").c_str(), BM_Chain<T, Op::multiply>);
  benchmark::RegisterBenchmark(name("divide_chain").c_str(), BM_Chain<T, Op::divide>);
}

// The light arithmetic on the inputs the dialogs give it: the star catalogue
// (lichtkm1), the planets' distances, differences and sums (kmlicht1), and
// distances from kilometres to far beyond the stars (break_down).
void BM_Lichtkm1(benchmark::State& state) {
  for (auto _ : state) {
    for (int row = 0; row < STAR_COUNT; ++row) {
      benchmark::DoNotOptimize(lichtkm1(static_cast<double>(STERNE[row])).to_double());
    }
  }
  state.SetItemsProcessed(state.iterations() * STAR_COUNT);
}

void BM_Kmlicht1(benchmark::State& state) {
  std::array<double, PLANET_COUNT * PLANET_COUNT> km{};
  std::size_t n = 0;
  for (int i = 0; i < PLANET_COUNT; ++i) {
    for (int j = 0; j < PLANET_COUNT; ++j) {
      km[n++] = j < i ? PLANETEN[i] - PLANETEN[j] : PLANETEN[i] + PLANETEN[j];
    }
  }
  for (auto _ : state) {
    for (double d : km) benchmark::DoNotOptimize(kmlicht1(d));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * km.size()));
}

void BM_BreakDown(benchmark::State& state) {
  Random random;
  std::array<double, 256> km;
  for (double& d : km) d = random.magnitude(0, 17);
  for (auto _ : state) {
    for (double d : km) {
      LightBreakdown b;
      benchmark::DoNotOptimize(break_down(d, &b));
      benchmark::DoNotOptimize(b);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * km.size()));
}

// One entry as it stands in a script: the token and the line end after it.
constexpr const char* TOKENS[] = {"1\n",  "24\n", "0x1f\n", "2.5\n", "100000000000000000\n",
                                  "abc\n"};

void BM_ScanInteger(benchmark::State& state, const char* token) {
  const std::size_t length = std::strlen(token);
  for (auto _ : state) {
    ByteStream in = memory_stream(token, length);
    int value = 0;
    benchmark::DoNotOptimize(scan_integer(in, IntegerBase::from_prefix, &value));
    benchmark::DoNotOptimize(value);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ScanReal(benchmark::State& state, const char* token) {
  const std::size_t length = std::strlen(token);
  for (auto _ : state) {
    ByteStream in = memory_stream(token, length);
    double value = 0;
    benchmark::DoNotOptimize(scan_real(in, &value));
    benchmark::DoNotOptimize(value);
  }
  state.SetItemsProcessed(state.iterations());
}

void register_all() {
  register_operations<NativeExtended>("native");
  register_operations<SoftExtended>("emulated");

  const std::string extended = EXTENDED_NAME;
  benchmark::RegisterBenchmark(("lichtkm1/" + extended).c_str(), BM_Lichtkm1);
  benchmark::RegisterBenchmark(("kmlicht1/" + extended).c_str(), BM_Kmlicht1);
  benchmark::RegisterBenchmark(("break_down/" + extended).c_str(), BM_BreakDown);

  for (const char* token : TOKENS) {
    const std::string shown(token, std::strlen(token) - 1);
    benchmark::RegisterBenchmark(("scan_integer/" + shown).c_str(), BM_ScanInteger, token);
    benchmark::RegisterBenchmark(("scan_real/" + shown).c_str(), BM_ScanReal, token);
  }
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
