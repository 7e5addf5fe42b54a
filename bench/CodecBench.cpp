// The plain C++ codec: printer replies decoded into the catalogue, commands
// built and turned into bytes, settings-file contents formatted and parsed.
// Google Benchmark; every benchmark counts its items (records, replies,
// commands, files) so the figures read as items per second.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "CItemManager.h"
#include "Commands.h"
#include "PrinterModel.h"
#include "Replies.h"
#include "SettingsFile.h"

namespace {

Bytes ToBytes(const dzsim::Bytes& p_byBytes) { return Bytes(p_byBytes.begin(), p_byBytes.end()); }

// The five record replies as the simulated printer sends them, each stored
// into the items of its read kind.
void DecodeRecords(benchmark::State& state) {
  dzsim::PrinterModel printer;
  std::vector<Bytes> frames;
  for (int kind = 0; kind < dzsim::PrinterModel::kReadKindCount; ++kind)
    frames.push_back(ToBytes(printer.RecordReply(kind)));
  CItemManager items;
  for (auto _ : state) {
    for (size_t kind = 0; kind < frames.size(); ++kind) {
      bool expected = true;
      benchmark::DoNotOptimize(StoreRecordReply(items, int(kind), frames[kind], expected));
    }
  }
  state.SetItemsProcessed(state.iterations() * int64_t(frames.size()));
}
BENCHMARK(DecodeRecords)->UseRealTime();

void DecodeStatusReplies(benchmark::State& state) {
  dzsim::PrinterModel printer;
  std::vector<Bytes> replies;
  for (const char* code : {"00", "03", "17", "40", "55"}) {
    printer.SetStatusCode(code);
    replies.push_back(ToBytes(printer.StatusReply()));
  }
  for (auto _ : state) {
    for (const Bytes& reply : replies) {
      std::string message;
      int received = 0;
      GetStatusMessage(StatusCodeOf(reply), message, received);
      benchmark::DoNotOptimize(message);
    }
  }
  state.SetItemsProcessed(state.iterations() * int64_t(replies.size()));
}
BENCHMARK(DecodeStatusReplies)->UseRealTime();

// Every command the program builds from the catalogue, to its byte form:
// the five reads, the two record writes and the five LAN commands.
void BuildCommands(benchmark::State& state) {
  CItemManager items;
  Bytes bytes;
  for (auto _ : state) {
    for (int kind = 0; kind < 5; ++kind) TextToBytes(BuildReadRecordCommand(kind), bytes);
    for (int kind : {1, 2}) TextToBytes(BuildWriteRecordCommand(items, kind), bytes);
    for (int kind : {2, 3, 4}) TextToBytes(BuildIpAddressCommand(items, kind), bytes);
    TextToBytes(BuildSocketPortCommand(items), bytes);
    TextToBytes(BuildDhcpCommand(items), bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetItemsProcessed(state.iterations() * 12);
}
BENCHMARK(BuildCommands)->UseRealTime();

// Settings-file contents in memory: the catalogue to file bytes and back.
void FormatParameterFile(benchmark::State& state) {
  CItemManager items;
  for (auto _ : state) benchmark::DoNotOptimize(JoinFileLines(BuildParameterFileLines(items)));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(FormatParameterFile)->UseRealTime();

void ParseParameterFile(benchmark::State& state) {
  CItemManager items;
  const std::string file = JoinFileLines(BuildParameterFileLines(items));
  for (auto _ : state) {
    if (!LoadParameterFile(items, file)) state.SkipWithError("the file was refused");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ParseParameterFile)->UseRealTime();

void FormatLanFile(benchmark::State& state) {
  CItemManager items;
  for (auto _ : state) benchmark::DoNotOptimize(JoinFileLines(BuildLanFileLines(items)));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(FormatLanFile)->UseRealTime();

void ParseLanFile(benchmark::State& state) {
  CItemManager items;
  const std::string file = JoinFileLines(BuildLanFileLines(items));
  for (auto _ : state) {
    if (!LoadLanFile(items, file)) state.SkipWithError("the file was refused");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ParseLanFile)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
