// CRC-32/MPEG-2 throughput over image-sized buffers: the function every load and save uses
// (folding by carry-less multiplication where the processor has it), the table method it
// falls back to, and the byte-table reference.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "firmware/image/crc32.h"
#include "testdata/image_builder.h"

namespace {

template <uint32_t (*Function)(uint32_t, const uint8_t*, int64_t)>
void BM_Crc32(benchmark::State& state) {
  const std::vector<uint8_t> data =
      qtk::testdata::PatternBytes(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        Function(qtk::kCrcInitial, data.data(), static_cast<int64_t>(data.size())));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// A chunk header's CRC range, a logo-sized chunk, a main code chunk.
BENCHMARK_TEMPLATE(BM_Crc32, qtk::Crc32)->Arg(112)->Arg(64 << 10)->Arg(16 << 20);
BENCHMARK_TEMPLATE(BM_Crc32, qtk::Crc32Folded)->Arg(112)->Arg(64 << 10)->Arg(16 << 20);
BENCHMARK_TEMPLATE(BM_Crc32, qtk::Crc32Sliced)->Arg(64 << 10)->Arg(16 << 20);
BENCHMARK_TEMPLATE(BM_Crc32, qtk::Crc32Bytewise)->Arg(64 << 10)->Arg(16 << 20);

}  // namespace
