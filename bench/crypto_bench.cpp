// SPDX-License-Identifier: MIT
// The block engine over one 4,000,000-byte buffer, AES-128: the processor's
// AES instructions and the table path. run.sh prints `openssl speed` beside it.
#include "crypto/cRijndael.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void encryptBuffer(benchmark::State &state, bool instructions) {
    cRijndael engine;
    engine.setUseAesInstructions(instructions);
    if (instructions && !engine.usesAesInstructions()) {
        state.SkipWithError("no AES instructions on this processor");
        return;
    }
    engine.SetCipherKey(QByteArray(32, 'k'), 128);
    std::vector<uint8_t> buffer(size_t(cRijndael::kBufferSize), 0x5A);
    for (auto _ : state) {
        engine.encryptBlocks(buffer.data(), cRijndael::kBufferSize / 16);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * cRijndael::kBufferSize);
}

void AesInstructionsPath(benchmark::State &state) {
    encryptBuffer(state, true);
}
void TablePath(benchmark::State &state) {
    encryptBuffer(state, false);
}

BENCHMARK(AesInstructionsPath)->Unit(benchmark::kMillisecond);
BENCHMARK(TablePath)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
