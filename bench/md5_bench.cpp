// MD5 throughput: the context over memory in the chunk sizes the program
// feeds it, the whole digest of a small file's bytes (start to end, as per
// card file), and whole cached files through Md5OfFile.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "update/md5.h"

namespace {
void BM_Md5Memory(benchmark::State& state) {
  const size_t chunk = static_cast<size_t>(state.range(0));
  std::vector<unsigned char> data(16 << 20, 0x5A);
  for (auto _ : state) {
    CMd5 md5;
    md5.Init();
    for (size_t i = 0; i < data.size(); i += chunk) md5.Update(data.data() + i, chunk);
    md5.Final();
    benchmark::DoNotOptimize(md5.digest);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_Md5Memory)->Arg(1024)->Arg(64 * 1024)->Unit(benchmark::kMillisecond);

void BM_Md5Small(benchmark::State& state) {
  const std::vector<unsigned char> data(static_cast<size_t>(state.range(0)), 0x5A);
  for (auto _ : state) {
    CMd5 md5;
    md5.Init();
    md5.Update(data.data(), data.size());
    benchmark::DoNotOptimize(md5.Final());
    benchmark::DoNotOptimize(md5.digest);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_Md5Small)->Arg(4 << 10)->Unit(benchmark::kMicrosecond);

void BM_Md5OfFile(benchmark::State& state) {
  const std::string path = "koral70-md5-bench.bin";
  const size_t size = static_cast<size_t>(state.range(0));
  {
    std::vector<char> bytes(size, 'k');
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
      state.SkipWithError("cannot write the sample file");
      if (file) std::fclose(file);
      return;
    }
    std::fclose(file);
  }
  unsigned char digest[16];
  for (auto _ : state) benchmark::DoNotOptimize(Md5OfFile(path.c_str(), digest));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
  std::remove(path.c_str());
}
BENCHMARK(BM_Md5OfFile)->Arg(64 << 10)->Arg(64 << 20)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
