// show and diff: the settings of a source, and the differences between two;
// a source is a settings file or a printer.
#include "Commands.h"

#include <QJsonArray>
#include <QJsonObject>

#include "CommandLine.h"
#include "Output.h"
#include "AsyncPrinter.h"
#include <QEventLoop>
#include "RecordKinds.h"
#include "SettingsSources.h"
#include "Target.h"

namespace cli {

namespace {

struct Source {
  QString name;
  bool printer = false;
  Target target;
  QString path;
};

bool ParseSource(const QString& p_sText, Source& p_objSource, QString& p_sError) {
  p_objSource.name = p_sText;
  if (ParsePrinterSource(p_sText, p_objSource.target, p_sError)) {
    p_objSource.printer = true;
    return true;
  }
  if (!p_sError.isEmpty()) return false;
  p_objSource.path = p_sText;
  return true;
}

// Fills the catalogue from the source: a file with LOAD's rules, a printer
// with all four records. Returns the exit status.
int LoadSource(const Source& p_objSource, const Options& p_objOptions, CItemManager& p_objItems, QString& p_sError) {
  if (!p_objSource.printer) {
    SettingsFile file;
    if (!ReadSettingsFileChecked(p_objSource.path, file, p_sError)) return kExitRejected;
    LoadSettings(file, p_objItems);
    return kExitOk;
  }
  std::vector<Target> resolved = {p_objSource.target};
  ResolveTargets(resolved);
  Target target = resolved.front();
  for (const Target& given : p_objOptions.targets) target.usbLibrary = given.usbLibrary;
  target.serialSettings =
      p_objOptions.Has("serial-settings") ? p_objOptions.Value("serial-settings") : target.serialSettings;
  // One printer: its own event loop runs until its records are in.
  AsyncPrinter printer(target, p_objOptions.timeout);
  std::vector<int> kinds = kParameterKinds;
  kinds.insert(kinds.end(), kLanKinds.begin(), kLanKinds.end());
  QEventLoop loop;
  bool read = false, finished = false;
  printer.ReadRecords(kinds, [&](bool p_bOk) {
    read = p_bOk;
    finished = true;
    loop.quit();
  });
  if (!finished) loop.exec();
  if (!read) {
    p_sError = QStringLiteral("%1: %2").arg(target.Name(), printer.Error());
    return kExitNoAnswer;
  }
  const std::vector<CItem*> from = printer.Items().AllItems();
  const std::vector<CItem*> to = p_objItems.AllItems();
  for (size_t i = 0; i < from.size() && i < to.size(); ++i) to[i]->m_vValue = from[i]->m_vValue;
  return kExitOk;
}

// What a source has: the settings a file carries, or those a printer reports.
std::vector<const dz::ShownSetting*> RowsOfSource(const Source& p_objSource) {
  if (!p_objSource.printer) return RowsCarriedBy(KindOfFile(p_objSource.path));
  std::vector<const dz::ShownSetting*> rows = RowsReported(FileKind::Parameter);
  for (const dz::ShownSetting* row : RowsReported(FileKind::Lan)) rows.push_back(row);
  return rows;
}

}  // namespace

int Show(const Options& p_objOptions) {
  if (p_objOptions.positional.size() != 1)
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("show takes one source"));
  Source source;
  QString error;
  if (!ParseSource(p_objOptions.positional[0], source, error)) return Refuse(p_objOptions, kExitUsage, error);
  CItemManager items;
  const int loaded = LoadSource(source, p_objOptions, items, error);
  if (loaded != kExitOk) return Refuse(p_objOptions, loaded, error);
  QJsonArray settings;
  QStringList lines;
  QString group;
  {
    for (const dz::ShownSetting* shown : RowsOfSource(source)) {
      const dz::ShownSetting& row = *shown;
      const QString here =
          QStringLiteral("[%1 / %2]").arg(QString::fromLatin1(row.page), QString::fromLatin1(row.frame));
      if (here != group) lines << here;
      group = here;
      const std::string shownValue = dz::ShownValueOf(items, row);
      const QString value = Latin1(shownValue);
      lines << QStringLiteral("%1: %2").arg(QString::fromLatin1(row.caption), Printable(shownValue));
      QJsonObject setting;
      setting[QStringLiteral("page")] = QString::fromLatin1(row.page);
      setting[QStringLiteral("frame")] = QString::fromLatin1(row.frame);
      setting[QStringLiteral("caption")] = QString::fromLatin1(row.caption);
      setting[QStringLiteral("item")] = QString::fromLatin1(row.item);
      setting[QStringLiteral("value")] = value;
      setting[QStringLiteral("field")] = Latin1(dz::FieldTextOf(items, row));
      settings.append(setting);
    }
  }
  QJsonObject document;
  document[QStringLiteral("source")] = source.name;
  document[QStringLiteral("settings")] = settings;
  return Finish(p_objOptions, kExitOk, document, lines);
}

int Diff(const Options& p_objOptions) {
  if (p_objOptions.positional.size() != 2)
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("diff takes two sources"));
  Source a, b;
  QString error;
  if (!ParseSource(p_objOptions.positional[0], a, error) || !ParseSource(p_objOptions.positional[1], b, error))
    return Refuse(p_objOptions, kExitUsage, error);
  if (!a.printer && !b.printer && KindOfFile(a.path) != KindOfFile(b.path))
    return Refuse(p_objOptions, kExitUsage,
                  QStringLiteral("a parameter and a LAN settings file have no setting in common"));
  CItemManager itemsA, itemsB;
  int loaded = LoadSource(a, p_objOptions, itemsA, error);
  if (loaded == kExitOk) loaded = LoadSource(b, p_objOptions, itemsB, error);
  if (loaded != kExitOk) return Refuse(p_objOptions, loaded, error);
  // A file and a printer compare on what the file carries and the printer
  // reports; two files on what they carry; two printers on what they report.
  std::vector<const dz::ShownSetting*> rows;
  if (!a.printer && b.printer)
    rows = RowsCompared(KindOfFile(a.path));
  else if (a.printer && !b.printer)
    rows = RowsCompared(KindOfFile(b.path));
  else
    rows = RowsOfSource(a);
  const std::vector<Difference> differences = CompareSettings(itemsA, itemsB, rows);
  QStringList lines;
  for (const Difference& d : differences) lines << DifferenceLine(d);
  QJsonObject document;
  document[QStringLiteral("a")] = a.name;
  document[QStringLiteral("b")] = b.name;
  document[QStringLiteral("differences")] = DifferenceRows(differences, "a", "b");
  return Finish(p_objOptions, differences.empty() ? kExitOk : kExitDifferent, document, lines);
}

}  // namespace cli
