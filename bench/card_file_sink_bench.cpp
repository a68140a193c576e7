// What a received file costs: its body in the chunks the session hands over
// (16 KiB), into a card file with its digest, then dropped (placing it is the
// device's flush, not measured here). The card is the current directory.
// The CPU column is the transfer thread's; in the process_time rows it is
// every thread's, the hashing worker's too.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "update/card_file_sink.h"
#include "update/md5_worker.h"

namespace {
constexpr size_t kChunk = 16 * 1024;

void BM_ReceivedFile(benchmark::State& state) {
  const size_t size = static_cast<size_t>(state.range(0));
  std::vector<unsigned char> body(size);
  for (size_t i = 0; i < size; ++i) body[i] = static_cast<unsigned char>(i * 131 + (i >> 12));
  CMd5Worker hasher;  // one for every file, as in a pass
  for (auto _ : state) {
    CCardFileSink file("koral70-sink-bench.bin", L"koral70-sink-bench.bin", hasher);
    for (size_t at = 0; at < size; at += kChunk) file.Write(body.data() + at, std::min(kChunk, size - at));
    unsigned char digest[16];
    benchmark::DoNotOptimize(file.FinalDigest(digest));
    file.Abort();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
}

// A small file, one of a large release's files, one large file.
void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(4 << 10)->Arg(512 << 10)->Arg(64 << 20)->Unit(benchmark::kMicrosecond)->UseRealTime();
}
BENCHMARK(BM_ReceivedFile)->Apply(Sizes);
BENCHMARK(BM_ReceivedFile)->Apply(Sizes)->MeasureProcessCPUTime();
}  // namespace

BENCHMARK_MAIN();
