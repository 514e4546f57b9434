// Settings store: load and flush of a store of typical size, and case-insensitive lookups.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "store/dynamicsettings.h"

namespace {

std::filesystem::path makeStore(int lines) {
  auto path = std::filesystem::temp_directory_path() / "ks_bench_store.usr";
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (int i = 0; i < lines; ++i) out << "Course" << i << ".GoalLevel=" << i * 7 << "\r\n";
  return path;
}

void BM_LoadAndFlush500(benchmark::State& state) {
  auto path = makeStore(500);
  for (auto _ : state) {
    ks::TDynamicSettings s;
    s.Open(path.string(), ks::omDenyWrite);
    s.WriteInteger("Course250.GoalLevel", static_cast<int>(state.iterations() & 0xFF));
    benchmark::DoNotOptimize(s.Close());
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadAndFlush500)->Unit(benchmark::kMicrosecond);

void BM_Lookups10000(benchmark::State& state) {
  auto path = makeStore(500);
  ks::TDynamicSettings s;
  s.Open(path.string(), ks::omReadShared);
  s.Load();
  for (auto _ : state) {
    int64_t sum = 0;
    for (int i = 0; i < 10000; ++i) sum += s.ReadInteger(i % 2 ? "COURSE499.GOALLEVEL" : "x");
    benchmark::DoNotOptimize(sum);
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_Lookups10000)->Unit(benchmark::kMillisecond);

}  // namespace
