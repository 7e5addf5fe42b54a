// Settings files through the disk, as "SAVE" and "LOAD" handle them: the
// catalogue formatted and written atomically (QSaveFile), and a file read
// whole and loaded into the catalogue. Google Benchmark; items are files.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "CItemManager.h"
#include "SettingsFile.h"
#include "SettingsFileStore.h"

namespace {

using LineBuilder = std::vector<std::string> (*)(CItemManager&);
using Loader = bool (*)(CItemManager&, const std::string&);

QByteArray FileBytes(CItemManager& p_objItems, LineBuilder p_fnLines) {
  const std::string text = JoinFileLines(p_fnLines(p_objItems));
  return QByteArray(text.data(), qsizetype(text.size()));
}

void SaveFile(benchmark::State& state, LineBuilder lines, const char* name) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QString::fromLatin1(name));
  CItemManager items;
  for (auto _ : state) {
    if (!dz::WriteFileAtomically(path, FileBytes(items, lines))) state.SkipWithError("the file was not written");
  }
  state.SetItemsProcessed(state.iterations());
}

void LoadFile(benchmark::State& state, LineBuilder lines, Loader load, const char* name) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QString::fromLatin1(name));
  CItemManager items;
  if (!dz::WriteFileAtomically(path, FileBytes(items, lines))) state.SkipWithError("the file was not written");
  for (auto _ : state) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
      state.SkipWithError("the file did not open");
      break;
    }
    const QByteArray bytes = file.readAll();
    if (!load(items, std::string(bytes.constData(), size_t(bytes.size())))) state.SkipWithError("the file was refused");
  }
  state.SetItemsProcessed(state.iterations());
}

void SaveParameterFile(benchmark::State& state) { SaveFile(state, BuildParameterFileLines, "bench.dt1"); }
void LoadParameterFile(benchmark::State& state) {
  LoadFile(state, BuildParameterFileLines, ::LoadParameterFile, "bench.dt1");
}
void SaveLanFile(benchmark::State& state) { SaveFile(state, BuildLanFileLines, "bench.dt2"); }
void LoadLanFile(benchmark::State& state) { LoadFile(state, BuildLanFileLines, ::LoadLanFile, "bench.dt2"); }

BENCHMARK(SaveParameterFile)->UseRealTime();
BENCHMARK(LoadParameterFile)->UseRealTime();
BENCHMARK(SaveLanFile)->UseRealTime();
BENCHMARK(LoadLanFile)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
