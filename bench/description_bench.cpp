// Configuration description loads per second: the realistic description of a typical board,
// and the same with long option lists, each loaded whole as a firmware load does.
#include <benchmark/benchmark.h>

#include <string>

#include "config/config_description.h"
#include "testdata/config_writer.h"
#include "testdata/temp_dir.h"

namespace {

// The realistic description with every plain option list grown to `items` entries.
qtk::testdata::DescriptionSpec DescriptionWithLists(int items) {
  qtk::testdata::DescriptionSpec spec = qtk::testdata::RealisticDescription();
  for (const char* section : {"OSDLanguageList", "SystemMode", "AutoScanMode", "CPUClock"}) {
    std::vector<std::string> names;
    for (int i = 0; i < items; ++i)
      names.push_back(std::string(section) + " entry " + std::to_string(i));
    spec.SetItems(section, names);
  }
  return spec;
}

void BM_DescriptionLoad(benchmark::State& state) {
  qtk::testdata::TempDir dir("qtk_description_bench");
  const std::string path = dir.File(qtk::testdata::kDefaultDescriptionName);
  const qtk::testdata::DescriptionSpec spec = state.range(0) == 0
                                                  ? qtk::testdata::RealisticDescription()
                                                  : DescriptionWithLists(state.range(0));
  if (!spec.Write(path)) {
    state.SkipWithError("cannot write the description");
    return;
  }
  for (auto _ : state) {
    qtk::ConfigDescription config;
    config.SetDescriptionPath(path);
    if (!config.Load()) {
      state.SkipWithError("the description does not load");
      return;
    }
    benchmark::DoNotOptimize(config);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

// 0: the realistic description as it is; 200: four option lists of 200 entries each.
BENCHMARK(BM_DescriptionLoad)->Arg(0)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
