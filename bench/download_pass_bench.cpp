// A whole unattended update of a fresh card by the client program against
// the reference server on loopback: many small files, or one large one.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/temp_card.h"
#include "tests/update/server_data.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {
void RunPasses(benchmark::State& state, const std::vector<ReleaseFile>& release) {
  ServerData data;
  data.SetRelease(release);
  ServerProcess server(data.Arguments());
  if (!server.Started()) {
    state.SkipWithError("the reference server did not start");
    return;
  }
  int64_t bytes = 0;
  for (const auto& file : release) bytes += static_cast<int64_t>(file.content.size());
  for (auto _ : state) {
    state.PauseTiming();
    TempCard card;
    card.Write("pass.ini", "serial=123456789\npass=secret\n");
    state.ResumeTiming();
    const ProcessResult result = RunProcess(
        {ClientBinary(), "/b"}, "", card.Path(),
        {{"KORAL70_UI", "headless"}, {"KORAL70_UPDATE_URL", server.BaseUrl()}, {"http_proxy", ""}}, 300);
    if (result.exitCode != 0 || !card.Exists(CardPath(release.back().name))) {
      state.SkipWithError("the update did not complete");
      return;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * release.size()));
}

void BM_PassManySmallFiles(benchmark::State& state) {
  std::vector<ReleaseFile> release;
  for (int i = 0; i < state.range(0); ++i)
    release.push_back({"Data\\Set" + std::to_string(i % 10) + "\\file" + std::to_string(i) + ".bin",
                       std::string(16 << 10, static_cast<char>('a' + i % 26))});
  RunPasses(state, release);
}
BENCHMARK(BM_PassManySmallFiles)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PassOneLargeFile(benchmark::State& state) {
  RunPasses(state, {{"Data\\large.db", std::string(static_cast<size_t>(state.range(0)) << 20, 'L')}});
}
BENCHMARK(BM_PassOneLargeFile)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

BENCHMARK_MAIN();
