// captions: the settings `set` names, with the values each takes.
#include "Commands.h"

#include <QJsonArray>
#include <QJsonObject>

#include "CommandLine.h"
#include "Output.h"
#include "SettingInput.h"
#include "SettingWrite.h"
#include "SettingsSources.h"

namespace cli {

int Captions(const Options& p_objOptions) {
  if (!p_objOptions.positional.isEmpty())
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("captions takes no arguments"));
  QJsonArray settings;
  QStringList lines;
  for (const dz::ShownSetting* row : dz::AllSettingRows()) {
    const bool writable = dz::IsWritable(*row);
    const QString caption = QString::fromLatin1(row->caption);
    const QString allowed = Latin1(dz::AllowedValuesOf(*row));
    QStringList notes;
    if (!writable) notes << QStringLiteral("read only");
    if (dz::IsPerUnit(*row)) notes << QStringLiteral("one unit");
    if (!dz::IsReportedByPrinter(*row)) notes << QStringLiteral("not reported by the printer");
    lines << caption + QLatin1Char('\t') + allowed + QLatin1Char('\t') + notes.join(QStringLiteral(", "));
    QJsonObject entry;
    entry[QStringLiteral("caption")] = caption;
    entry[QStringLiteral("page")] = QString::fromLatin1(row->page);
    entry[QStringLiteral("frame")] = QString::fromLatin1(row->frame);
    entry[QStringLiteral("item")] = QString::fromLatin1(row->item);
    entry[QStringLiteral("allowed")] = allowed;
    QJsonArray entries;
    for (const std::string& value : dz::ListEntriesOf(*row)) entries.append(Latin1(value));
    entry[QStringLiteral("entries")] = entries;
    entry[QStringLiteral("writable")] = writable;
    entry[QStringLiteral("per_unit")] = dz::IsPerUnit(*row);
    entry[QStringLiteral("reported")] = dz::IsReportedByPrinter(*row);
    settings.append(entry);
  }
  QJsonObject document;
  document[QStringLiteral("settings")] = settings;
  return Finish(p_objOptions, kExitOk, document, lines);
}

}  // namespace cli
