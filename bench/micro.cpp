// Micro-benchmarks of the program's hot spots: the extended-precision
// operations (the x87 wrapper next to the software emulation, named
// explicitly), the light arithmetic the dialogs call, and the number
// scanners on typical entries.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "catalogue/planets.hpp"
#include "catalogue/stars.hpp"
#include "console/scan.hpp"
#include "light/extended.hpp"
#include "light/extended_native.hpp"
#include "light/extended_soft.hpp"
#include "light/light.hpp"

namespace {

// A fixed pseudo-random sequence, so every run sees the same operands.
struct Random {
  std::uint64_t state = 0x9e3779b97f4a7c15u;
  std::uint64_t next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  }
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

enum class Op { add, subtract, multiply, divide, to_double, compare };

constexpr bool mixed_signs(Op op) {
  return op == Op::add || op == Op::subtract || op == Op::compare;
}

template <typename T, Op op>
auto apply(const T& a, const T& b) {
  if constexpr (op == Op::add) return a + b;
  if constexpr (op == Op::subtract) return a - b;
  if constexpr (op == Op::multiply) return a * b;
  if constexpr (op == Op::divide) return a / b;
  if constexpr (op == Op::to_double) return a.to_double();
  if constexpr (op == Op::compare) return a >= b;
}

// Operands as the dialogs produce them: distances and factors, mixed signs
// where the sign matters, and full 64-bit significands (products) so that
// rounding and to_double do real work.
template <typename T>
struct Operands {
  std::array<T, OPERANDS> a;
  std::array<T, OPERANDS> b;
  explicit Operands(bool mixed) {
    Random random;
    const T third = T::from_double(1.0 / 3.0);
    for (std::size_t i = 0; i < OPERANDS; ++i) {
      const double x = random.magnitude(-3, 15);
      const double y = random.magnitude(-3, 15);
      a[i] = T::from_double(x) * third;
      b[i] = T::from_double(mixed && (random.next() & 1) ? -y : y) * third;
    }
  }
};

// Independent operations over arrays in memory: throughput.
template <typename T, Op op>
void BM_Operation(benchmark::State& state) {
  const Operands<T> in(mixed_signs(op));
  std::array<decltype(apply<T, op>(in.a[0], in.b[0])), OPERANDS> out;
  for (auto _ : state) {
    for (std::size_t i = 0; i < OPERANDS; ++i) out[i] = apply<T, op>(in.a[i], in.b[i]);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * OPERANDS));
}

// A dependent chain that keeps the running value in a register, each
// operand widened from a double as the dialogs do: the latency of one
// operation.
template <typename T, Op op>
void BM_Chain(benchmark::State& state) {
  Random random;
  std::array<double, OPERANDS> d;
  for (double& x : d) {
    // Factors near 1 keep a product in range; mixed signs keep a sum small.
    x = mixed_signs(op) ? random.magnitude(0, 12) * (random.next() & 1 ? 1 : -1)
                        : 0.75 + random.unit() * 0.5;
  }
  T x = T::from_double(1.0 / 3.0);
  for (auto _ : state) {
    for (double operand : d) x = apply<T, op>(x, T::from_double(operand));
    benchmark::DoNotOptimize(x);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * OPERANDS));
}

template <typename T>
void register_operations(const char* type) {
  const auto name = [type](const char* op) { return "op_" + std::string(op) + "/" + type; };
  benchmark::RegisterBenchmark(name("add").c_str(), BM_Operation<T, Op::add>);
  benchmark::RegisterBenchmark(name("subtract").c_str(), BM_Operation<T, Op::subtract>);
  benchmark::RegisterBenchmark(name("multiply").c_str(), BM_Operation<T, Op::multiply>);
  benchmark::RegisterBenchmark(name("divide").c_str(), BM_Operation<T, Op::divide>);
  benchmark::RegisterBenchmark(name("to_double").c_str(), BM_Operation<T, Op::to_double>);
  benchmark::RegisterBenchmark(name("compare").c_str(), BM_Operation<T, Op::compare>);
  benchmark::RegisterBenchmark(name("add_chain").c_str(), BM_Chain<T, Op::add>);
  benchmark::RegisterBenchmark(name("subtract_chain").c_str(), BM_Chain<T, Op::subtract>);
  benchmark::RegisterBenchmark(name("multiply_chain").c_str(), BM_Chain<T, Op::multiply>);
  benchmark::RegisterBenchmark(name("divide_chain").c_str(), BM_Chain<T, Op::divide>);
}

// The light arithmetic on the inputs the dialogs give it: the star catalogue
// (lichtkm1), the planets' distances and separations (kmlicht1), and
// distances from kilometres to far beyond the stars (break_down).
void BM_Lichtkm1(benchmark::State& state) {
  for (auto _ : state) {
    for (const float lightyears : STERNE) {
      benchmark::DoNotOptimize(lichtkm1(static_cast<double>(lightyears)).to_double());
    }
  }
  state.SetItemsProcessed(state.iterations() * STAR_COUNT);
}

void BM_Kmlicht1(benchmark::State& state) {
  // Each planet to the Sun, and each pair at conjunction and opposition.
  std::array<double, SUN + SUN*(SUN - 1)> km{};
  std::size_t n = 0;
  for (int inner = 0; inner < SUN; ++inner) {
    km[n++] = PLANETEN[inner];
    for (int outer = inner + 1; outer < SUN; ++outer) {
      const Separation apart = separation(PLANETEN[inner], PLANETEN[outer]);
      km[n++] = apart.conjunction;
      km[n++] = apart.opposition;
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

template <typename Value>
void BM_Scan(benchmark::State& state, const char* token) {
  const std::size_t length = std::strlen(token);
  for (auto _ : state) {
    ByteStream in = memory_stream(token, length);
    Value value = 0;
    if constexpr (std::is_same_v<Value, int>) {
      benchmark::DoNotOptimize(scan_integer(in, IntegerBase::from_prefix, &value));
    } else {
      benchmark::DoNotOptimize(scan_real(in, &value));
    }
    benchmark::DoNotOptimize(value);
  }
  state.SetItemsProcessed(state.iterations());
}

void register_all() {
  register_operations<NativeExtended>("native");
  register_operations<SoftExtended>("emulated");

  const std::string extended = COSMIC_EXTENDED_IS_NATIVE ? "native" : "emulated";
  benchmark::RegisterBenchmark(("lichtkm1/" + extended).c_str(), BM_Lichtkm1);
  benchmark::RegisterBenchmark(("kmlicht1/" + extended).c_str(), BM_Kmlicht1);
  benchmark::RegisterBenchmark(("break_down/" + extended).c_str(), BM_BreakDown);

  for (const char* token : TOKENS) {
    const std::string shown(token, std::strlen(token) - 1);
    benchmark::RegisterBenchmark(("scan_integer/" + shown).c_str(), BM_Scan<int>, token);
    benchmark::RegisterBenchmark(("scan_real/" + shown).c_str(), BM_Scan<double>, token);
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
