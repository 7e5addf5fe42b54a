#include "SettingChanges.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <map>

#include "CommandLine.h"
#include "Output.h"
#include "PerPrinter.h"
#include "Profile.h"
#include "Safeguards.h"
#include "SettingWrite.h"
#include "SettingsSources.h"

namespace cli {

namespace {

QString Text(const std::string& p_sLatin1) { return Latin1(p_sLatin1); }

// A JSON value of a profile as the text `set` takes: YAML and JSON turn
// ON/OFF into booleans and numbers into numbers on the way.
bool ValueText(const QJsonValue& p_objValue, QString& p_sText) {
  if (p_objValue.isString()) {
    p_sText = p_objValue.toString();
  } else if (p_objValue.isBool()) {
    p_sText = p_objValue.toBool() ? QStringLiteral("ON") : QStringLiteral("OFF");
  } else if (p_objValue.isDouble()) {
    p_sText = QString::number(p_objValue.toDouble(), 'g', 15);
  } else {
    return false;
  }
  return true;
}

bool ChangeOf(const QString& p_sCaption, const QString& p_sValue, std::vector<dz::SettingChange>& p_objChanges,
              QString& p_sError) {
  std::string caption, value;
  if (!ToLatin1(p_sCaption, caption) || !ToLatin1(p_sValue, value)) {
    p_sError = QStringLiteral("%1: a character that no setting can hold").arg(p_sCaption);
    return false;
  }
  if (value == dz::kNotReported) return true;
  dz::SettingChange change;
  std::string error;
  if (!dz::ParseAssignment(caption + "=" + value, change, error)) {
    p_sError = Text(error);
    return false;
  }
  p_objChanges.push_back(change);
  return true;
}

bool ChangesFromJson(const QJsonDocument& p_objDocument, std::vector<dz::SettingChange>& p_objChanges,
                     QString& p_sError) {
  const QJsonObject object = p_objDocument.object();
  if (object.contains(QStringLiteral("settings")) && object[QStringLiteral("settings")].isArray()) {
    // What `show --json` prints.
    for (const QJsonValue& entry : object[QStringLiteral("settings")].toArray()) {
      QString value;
      if (!entry.isObject() || !entry[QStringLiteral("caption")].isString() ||
          !ValueText(entry[QStringLiteral("value")], value)) {
        p_sError = QStringLiteral("a setting without caption or value");
        return false;
      }
      // What show itself marks as a value set does not take (KB I/F, a
      // value no box takes) gives nothing.
      if (entry[QStringLiteral("settable")] == QJsonValue(false)) continue;
      if (!ChangeOf(entry[QStringLiteral("caption")].toString(), value, p_objChanges, p_sError)) return false;
    }
    return true;
  }
  // A mapping CAPTION -> value.
  for (auto it = object.begin(); it != object.end(); ++it) {
    QString value;
    if (!ValueText(it.value(), value)) {
      p_sError = QStringLiteral("%1: the value is not a text, number or ON/OFF").arg(it.key());
      return false;
    }
    if (!ChangeOf(it.key(), value, p_objChanges, p_sError)) return false;
  }
  return true;
}

// The changes that lie in the record.
std::vector<const dz::SettingChange*> ChangesIn(WriteRecord p_eRecord,
                                                const std::vector<dz::SettingChange>& p_objChanges) {
  std::vector<const dz::SettingChange*> in;
  for (const dz::SettingChange& change : p_objChanges)
    if (dz::RecordCarries(p_eRecord, *change.row)) in.push_back(&change);
  return in;
}

void CopyItems(CItemManager& p_objFrom, CItemManager& p_objTo) {
  const std::vector<CItem*> from = p_objFrom.AllItems();
  const std::vector<CItem*> to = p_objTo.AllItems();
  for (size_t i = 0; i < from.size() && i < to.size(); ++i) to[i]->m_vValue = from[i]->m_vValue;
}

QString ShownOrUnreported(const CItemManager& p_objItems, const dz::ShownSetting& p_objRow) {
  return dz::IsReportedByPrinter(p_objRow) ? Text(dz::ShownValueOf(p_objItems, p_objRow))
                                           : QString::fromLatin1(dz::kNotReported);
}

}  // namespace

bool ToLatin1(const QString& p_sText, std::string& p_sLatin1) {
  p_sLatin1.clear();
  for (const QChar c : p_sText) {
    if (c.unicode() > 0xFF) return false;
    p_sLatin1 += static_cast<char>(c.unicode());
  }
  return true;
}

bool ChangesFromAssignments(const QStringList& p_objWords, std::vector<dz::SettingChange>& p_objChanges,
                            QString& p_sError) {
  for (const QString& word : p_objWords) {
    const qsizetype equals = word.indexOf(QLatin1Char('='));
    if (equals < 0) {
      p_sError = QStringLiteral("'%1' is not CAPTION=VALUE").arg(word);
      return false;
    }
    if (!ChangeOf(word.left(equals), word.mid(equals + 1), p_objChanges, p_sError)) return false;
  }
  return true;
}

bool ChangesFromProfile(const QString& p_sPath, std::vector<dz::SettingChange>& p_objChanges, QString& p_sError) {
  QFile file(p_sPath);
  if (!file.open(QIODevice::ReadOnly) || file.size() > (1 << 20)) {
    p_sError = QStringLiteral("%1: cannot be read").arg(p_sPath);
    return false;
  }
  const QByteArray bytes = file.readAll();
  if (bytes.trimmed().startsWith('{')) {
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject()) {
      p_sError = QStringLiteral("%1: not a JSON object (%2)").arg(p_sPath, parse.errorString());
      return false;
    }
    if (!ChangesFromJson(document, p_objChanges, p_sError)) {
      p_sError = QStringLiteral("%1: %2").arg(p_sPath, p_sError);
      return false;
    }
    return true;
  }
  std::string text;
  if (!ToLatin1(QString::fromUtf8(bytes), text)) {
    p_sError = QStringLiteral("%1: a character that no setting can hold").arg(p_sPath);
    return false;
  }
  std::string error;
  if (!dz::ParseProfileText(text, p_objChanges, error)) {
    p_sError = QStringLiteral("%1: %2").arg(p_sPath, Text(error));
    return false;
  }
  return true;
}

int ChangeSettings(const Options& p_objOptions, std::vector<dz::SettingChange> p_objChanges, bool p_bProgress) {
  std::string error;
  if (!dz::CheckChanges(p_objChanges, error)) return Refuse(p_objOptions, kExitUsage, Text(error));
  if (p_objChanges.empty()) return Refuse(p_objOptions, kExitUsage, QStringLiteral("no setting to change"));
  if (!dz::CheckPerUnit(p_objChanges, p_objOptions.targets.size(), p_objOptions.Has(kOptionPerUnit), error))
    return Refuse(p_objOptions, kExitUsage, Text(error));
  const dz::WritePlan plan = dz::PlanSettingWrite(p_objChanges);
  if (!dz::CheckUnreportedGiven(plan, p_objChanges, error)) return Refuse(p_objOptions, kExitUsage, Text(error));

  const bool dryRun = p_objOptions.Has(kOptionDryRun);
  auto guards = std::make_shared<WriteSafeguards>();
  QString prepareError;
  if (!dryRun && !guards->Prepare(p_objOptions, prepareError)) return Refuse(p_objOptions, kExitUsage, prepareError);

  const std::vector<dz::SettingChange> changes = p_objChanges;
  return RunPerPrinterOnLoop(
      p_objOptions,
      [plan, changes, dryRun, guards](const Target& target, AsyncPrinter& printer, PrinterResult& result,
                                      const std::function<void()>& done) {
        CItemManager& items = printer.Items();
        const std::vector<int>& kinds = guards->BackingUp() && !dryRun ? BackupKinds() : plan.readKinds;
        printer.ReadRecords(kinds, [=, &target, &printer, &result, &items](bool p_bRead) {
          if (!Done(printer, result, p_bRead)) return done();
          // The backup holds what the printer holds before anything is changed.
          CItemManager held;
          CopyItems(items, held);

          // What the printer holds now, then the records with the change made.
          std::map<const dz::ShownSetting*, std::pair<std::string, QString>> before;
          for (const dz::ShownSetting* row : dz::AllSettingRows())
            before[row] = {dz::FieldTextOf(items, *row), ShownOrUnreported(items, *row)};
          const std::vector<std::string> lines = dz::BuildChangedRecords(items, plan, changes);

          // A record is sent when a setting it carries and the printer reports
          // changes, or when it is asked for only settings that no printer
          // reports; a record whose change is already there is not sent.
          std::vector<WriteRecord> sent;
          QJsonArray commands;
          for (size_t i = 0; i < plan.records.size(); ++i) {
            const std::vector<const dz::SettingChange*> in = ChangesIn(plan.records[i], changes);
            bool differs = false, onlyUnreported = true;
            for (const dz::SettingChange* change : in) {
              const bool reported = dz::IsReportedByPrinter(*change->row);
              onlyUnreported = onlyUnreported && !reported;
              differs = differs || (reported && dz::FieldTextOf(items, *change->row) != before[change->row].first);
            }
            if (!differs && !onlyUnreported) continue;
            sent.push_back(plan.records[i]);
            commands.append(Latin1(lines[i]));
          }
          const auto written = [&](const dz::ShownSetting* row) {
            return std::any_of(sent.begin(), sent.end(), [&](WriteRecord r) { return dz::RecordCarries(r, *row); });
          };

          QJsonArray changeRows;
          std::vector<AuditChange> audit;
          std::vector<const dz::ShownSetting*> auditRows;
          for (const dz::SettingChange& change : changes) {
            const dz::ShownSetting* row = change.row;
            const QString after = Text(dz::ShownValueOf(items, *row));
            const bool changed =
                written(row) && (!dz::IsReportedByPrinter(*row) || dz::FieldTextOf(items, *row) != before[row].first);
            QJsonObject entry;
            entry[QStringLiteral("caption")] = QString::fromLatin1(row->caption);
            entry[QStringLiteral("item")] = QString::fromLatin1(row->item);
            entry[QStringLiteral("before")] = before[row].second;
            entry[QStringLiteral("after")] = after;
            entry[QStringLiteral("changed")] = changed;
            changeRows.append(entry);
            if (!changed) continue;
            audit.push_back({QString::fromLatin1(row->caption), before[row].second, after});
            auditRows.push_back(row);
            result.lines << QStringLiteral("%1\t%2: %3 -> %4")
                                .arg(result.target, QString::fromLatin1(row->caption), before[row].second, after);
          }
          result.json[QStringLiteral("changes")] = changeRows;
          result.json[QStringLiteral("commands")] = commands;
          result.json[QStringLiteral("changed")] = !sent.empty();
          result.json[QStringLiteral("dry_run")] = dryRun;
          if (sent.empty()) result.lines << QStringLiteral("%1\tunchanged").arg(result.target);
          if (dryRun && !sent.empty())
            result.lines << QStringLiteral("%1\tdry run: %2 record(s) not sent").arg(result.target).arg(sent.size());
          if (dryRun || sent.empty()) {
            result.ok = true;
            return done();
          }
          if (!guards->Backup(target, held, result)) return done();

          // The expected fields of every reported setting the sent records carry.
          std::vector<std::pair<const dz::ShownSetting*, std::string>> expected;
          for (const dz::ShownSetting* row : plan.compared)
            if (written(row)) expected.emplace_back(row, dz::FieldTextOf(items, *row));
          const std::vector<int> backKinds = ReadKindsFor(items, sent);
          std::vector<std::string> toSend;
          for (const std::string& line : lines)
            if (commands.contains(Latin1(line))) toSend.push_back(line);
          // Read back what the records carry, and compare.
          std::vector<std::pair<const dz::ShownSetting*, std::string>> shownWanted;
          for (const auto& [row, field] : expected) shownWanted.emplace_back(row, dz::ShownValueOf(items, *row));
          printer.Send(toSend, [=, &target, &printer, &result, &items](bool p_bSent) mutable {
            if (!p_bSent) {
              Done(printer, result, false);
              guards->Audit(target, audit, QStringLiteral("error: ") + result.error, result);
              return done();
            }
            printer.ReadRecords(backKinds, [=, &target, &printer, &result, &items](bool p_bBack) mutable {
              if (!p_bBack) {
                Done(printer, result, false);
                result.error = QStringLiteral("written, but the read-back failed: ") + result.error;
                guards->Audit(target, audit, QStringLiteral("error: ") + result.error, result);
                return done();
              }
              std::vector<Difference> differences;
              for (size_t i = 0; i < expected.size(); ++i) {
                const dz::ShownSetting* row = expected[i].first;
                if (dz::FieldTextOf(items, *row) != expected[i].second)
                  differences.push_back({row, dz::ShownValueOf(items, *row), shownWanted[i].second});
              }
              result.json[QStringLiteral("differences")] = DifferenceRows(differences, "printer", "expected");
              for (const Difference& d : differences)
                result.lines << result.target + QStringLiteral("\tread back ") + DifferenceLine(d);
              // The audit keeps what the printer holds after the write.
              for (size_t i = 0; i < audit.size(); ++i)
                if (dz::IsReportedByPrinter(*auditRows[i]))
                  audit[i].after = Text(dz::ShownValueOf(items, *auditRows[i]));
              result.ok = true;
              if (!differences.empty()) result.exit = kExitDifferent;
              guards->Audit(target, audit, differences.empty() ? QStringLiteral("ok") : QStringLiteral("different"),
                            result);
              done();
            });
          });
        });
      },
      p_bProgress);
}

}  // namespace cli
