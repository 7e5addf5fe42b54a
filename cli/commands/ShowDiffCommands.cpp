// show and diff: the settings of a source, and the differences between two;
// a source is a settings file or a printer.
#include "Commands.h"

#include <QJsonArray>
#include <QJsonObject>

#include "CommandLine.h"
#include "Output.h"
#include "PrinterSession.h"
#include "Profile.h"
#include "RecordKinds.h"
#include "SettingInput.h"
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
  if (!p_objSource.printer) return LoadSettingsFile(p_objSource.path, p_objItems, p_sError) ? kExitOk : kExitRejected;
  Target target = p_objSource.target;
  for (const Target& given : p_objOptions.targets) target.usbLibrary = given.usbLibrary;
  target.serialSettings =
      p_objOptions.Has("serial-settings") ? p_objOptions.Value("serial-settings") : target.serialSettings;
  PrinterSession session(target, p_objOptions.timeout);
  std::vector<int> kinds = kParameterKinds;
  kinds.insert(kinds.end(), kLanKinds.begin(), kLanKinds.end());
  if (!session.Open() || !session.ReadRecords(kinds)) {
    p_sError = QStringLiteral("%1: %2").arg(target.Name(), session.Error());
    return kExitNoAnswer;
  }
  // The session's catalogue goes when the session does: copy the fields.
  const std::vector<CItem*> from = session.Items().AllItems();
  const std::vector<CItem*> to = p_objItems.AllItems();
  for (size_t i = 0; i < from.size() && i < to.size(); ++i) to[i]->m_vValue = from[i]->m_vValue;
  return kExitOk;
}

std::vector<const std::vector<dz::ShownSetting>*> RowsOfSource(const Source& p_objSource) {
  if (p_objSource.printer) return {&dz::ParameterSettings(), &dz::LanSettings()};
  return {&RowsOf(KindOfFile(p_objSource.path))};
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
  // --profile: only what can go to a fleet as it is.
  const bool profile = p_objOptions.Has("profile");
  QJsonArray settings;
  QStringList lines;
  QString group;
  for (const auto* rows : RowsOfSource(source)) {
    for (const dz::ShownSetting& row : *rows) {
      if (profile && !dz::InProfile(row, source.printer)) {
        // A record the profile may change carries it: the user must give it.
        if (dz::IsWritable(row) && !dz::IsPerUnit(row) && !p_objOptions.json)
          lines << QStringLiteral("# %1: %2; give it here (%3) to apply settings of this frame")
                       .arg(QString::fromLatin1(row.caption), QString::fromLatin1(dz::kNotReported),
                            Latin1(dz::AllowedValuesOf(row)));
        continue;
      }
      const QString here = Latin1(dz::GroupHeaderOf(row));
      if (here != group) lines << here;
      group = here;
      // A printer never reports some settings: no value is made up for them.
      const bool reported = !source.printer || dz::IsReportedByPrinter(row);
      const QString value = reported ? Latin1(dz::ShownValueOf(items, row)) : QString::fromLatin1(dz::kNotReported);
      lines << QStringLiteral("%1: %2").arg(QString::fromLatin1(row.caption), value);
      QJsonObject setting;
      setting[QStringLiteral("page")] = QString::fromLatin1(row.page);
      setting[QStringLiteral("frame")] = QString::fromLatin1(row.frame);
      setting[QStringLiteral("caption")] = QString::fromLatin1(row.caption);
      setting[QStringLiteral("item")] = QString::fromLatin1(row.item);
      setting[QStringLiteral("value")] = value;
      setting[QStringLiteral("field")] =
          reported ? QJsonValue(Latin1(dz::FieldTextOf(items, row))) : QJsonValue(QJsonValue::Null);
      setting[QStringLiteral("reported")] = reported;
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
  const auto rows = !a.printer ? RowsOfSource(a) : RowsOfSource(b);
  std::vector<Difference> differences;
  for (const auto* table : rows)
    for (Difference& d : CompareSettings(itemsA, itemsB, *table))
      // What a printer does not report is compared by nobody.
      if (!(a.printer || b.printer) || dz::IsReportedByPrinter(*d.row)) differences.push_back(d);
  QStringList lines;
  for (const Difference& d : differences) lines << DifferenceLine(d);
  QJsonObject document;
  document[QStringLiteral("a")] = a.name;
  document[QStringLiteral("b")] = b.name;
  document[QStringLiteral("differences")] = DifferenceRows(differences, "a", "b");
  return Finish(p_objOptions, differences.empty() ? kExitOk : kExitDifferent, document, lines);
}

}  // namespace cli
