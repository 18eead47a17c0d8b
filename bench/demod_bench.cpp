// DecodeBuffer on buffers that each hold one frame, with the production
// passes and with the straightforward reference passes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "demod/demod.h"
#include "demod/synth.h"
#include "reference_demod.h"

namespace {

std::vector<unsigned char> buffer_with_frame(int samples) {
  const demod::MessageBytes message = {0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef, 0x01, 0x23};
  demod::SynthOptions options;
  options.speed = 1.013;
  options.snr_db = 12.0;
  // The frame ends a quarter of a second before the buffer does.
  options.lead_seconds = (samples - demod::frame_length_samples(options.speed)) / 8000.0 - 0.25;
  std::vector<unsigned char> buffer = demod::synthesize_frame(message, options);
  buffer.resize(samples, 0);
  return buffer;
}

void decode(benchmark::State& state, const demod_kernels& kernels) {
  const std::vector<unsigned char> samples = buffer_with_frame(static_cast<int>(state.range(0)));
  unsigned char message[10];
  for (auto _ : state) {
    const int code = demod_decode(samples.data(), static_cast<int>(samples.size()), message, 1,
                                  kernels, nullptr, nullptr);
    if (code != 0) state.SkipWithError("frame not decoded");
    benchmark::DoNotOptimize(message);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_DecodeBuffer(benchmark::State& state) { decode(state, demod_default_kernels); }
void BM_DecodeBufferReference(benchmark::State& state) { decode(state, reference_kernels); }

BENCHMARK(BM_DecodeBuffer)->Arg(16000)->Arg(44000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeBufferReference)->Arg(16000)->Arg(44000)->Arg(80000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
