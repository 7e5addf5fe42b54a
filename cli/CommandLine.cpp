#include "CommandLine.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <map>

#include "ChoiceListData.h"
#include "Fleet.h"
#include "HelpTexts.h"
#include "MaintenanceCommands.h"
#include "PrinterSession.h"
#include "SettingsFile.h"
#include "SettingsSources.h"
#include "SpinSetupData.h"
#include "Target.h"

namespace {

const std::vector<int> kParameterKinds = {0, 1, 4};
const std::vector<int> kLanKinds = {3};

struct Options {
  QString command;
  std::vector<Target> targets;
  QStringList positional;
  std::map<QString, QString> values;  // options with a value, by name without "--"
  bool json = false;
  bool verify = false;
  bool help = false;
  bool jobsGiven = false;
  double timeout = 2;
  int jobs = 16;
  QString Value(const char* p_sName) const {
    const auto it = values.find(QString::fromLatin1(p_sName));
    return it == values.end() ? QString() : it->second;
  }
  bool Has(const char* p_sName) const { return values.count(QString::fromLatin1(p_sName)) != 0; }
};

void Print(FILE* p_pStream, const QString& p_sText) {
  const QByteArray bytes = p_sText.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), p_pStream);
}

// Ends a command: the JSON document or the text lines on standard output.
int Finish(const Options& p_objOptions, int p_iExit, QJsonObject p_objDocument, const QStringList& p_objLines) {
  if (p_objOptions.json) {
    QJsonObject document;
    document[QStringLiteral("command")] = p_objOptions.command;
    document[QStringLiteral("ok")] = p_iExit == kExitOk;
    document[QStringLiteral("exit")] = p_iExit;
    for (auto it = p_objDocument.begin(); it != p_objDocument.end(); ++it) document[it.key()] = it.value();
    Print(stdout, QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented)));
  } else {
    for (const QString& line : p_objLines) Print(stdout, line + QLatin1Char('\n'));
  }
  return p_iExit;
}

int Refuse(const Options& p_objOptions, int p_iExit, const QString& p_sError) {
  Print(stderr, QStringLiteral("dazavu: %1\n").arg(p_sError));
  if (p_iExit == kExitUsage && !p_objOptions.json) Print(stderr, QStringLiteral("Try 'dazavu --help'.\n"));
  QJsonObject document;
  document[QStringLiteral("error")] = p_sError;
  return Finish(p_objOptions, p_iExit, document, {});
}

const QStringList kValueOptions = {QStringLiteral("lan"),
                                   QStringLiteral("hosts"),
                                   QStringLiteral("com"),
                                   QStringLiteral("serial"),
                                   QStringLiteral("serial-settings"),
                                   QStringLiteral("timeout"),
                                   QStringLiteral("jobs"),
                                   QStringLiteral("params"),
                                   QStringLiteral("lan-settings"),
                                   QStringLiteral("out-dir"),
                                   QStringLiteral("type"),
                                   QStringLiteral("pattern"),
                                   QStringLiteral("count"),
                                   QStringLiteral("speed"),
                                   QStringLiteral("sensor"),
                                   QStringLiteral("cut"),
                                   QStringLiteral("print-type"),
                                   QStringLiteral("label-length"),
                                   QStringLiteral("mode"),
                                   QStringLiteral("destination"),
                                   QStringLiteral("port"),
                                   QStringLiteral("usb-library")};

bool ParseOptions(const QStringList& p_objArgs, Options& p_objOptions, QString& p_sError) {
  QString serialSettings = QStringLiteral("9600,E,8,1");
  QString usbLibrary;
  bool usb = false;
  for (int i = 0; i < p_objArgs.size(); ++i) {
    const QString& arg = p_objArgs[i];
    if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
      p_objOptions.help = true;
    } else if (arg == QLatin1String("--json")) {
      p_objOptions.json = true;
    } else if (arg == QLatin1String("--verify")) {
      p_objOptions.verify = true;
    } else if (arg == QLatin1String("--usb")) {
      usb = true;
    } else if (arg.startsWith(QLatin1String("--")) && arg.size() > 2) {
      QString name = arg.mid(2);
      QString value;
      const qsizetype equals = name.indexOf(QLatin1Char('='));
      if (equals >= 0) {
        value = name.mid(equals + 1);
        name.truncate(equals);
      } else if (kValueOptions.contains(name)) {
        if (i + 1 >= p_objArgs.size()) {
          p_sError = QStringLiteral("option --%1 needs a value").arg(name);
          return false;
        }
        value = p_objArgs[++i];
      }
      if (!kValueOptions.contains(name)) {
        p_sError = QStringLiteral("unknown option %1").arg(arg);
        return false;
      }
      if (name == QLatin1String("lan")) {
        Target target;
        if (!ParseLanTarget(value, target, p_sError)) return false;
        p_objOptions.targets.push_back(target);
      } else if (name == QLatin1String("hosts")) {
        if (!ReadHostsFile(value, p_objOptions.targets, p_sError)) return false;
      } else if (name == QLatin1String("com")) {
        bool ok = false;
        const int n = value.toInt(&ok);
        if (!ok || n < 1 || n > 9) {
          p_sError = QStringLiteral("--com takes 1 to 9");
          return false;
        }
        Target target;
        target.kind = Target::Com;
        target.com = n;
        p_objOptions.targets.push_back(target);
      } else if (name == QLatin1String("serial")) {
        Target target;
        target.kind = Target::Serial;
        target.device = value;
        p_objOptions.targets.push_back(target);
      } else if (name == QLatin1String("serial-settings")) {
        if (!CheckSerialSettings(value)) {
          p_sError = QStringLiteral("--serial-settings takes speed,parity,data bits,stop bits (9600,E,8,1)");
          return false;
        }
        serialSettings = value;
      } else if (name == QLatin1String("usb-library")) {
        usbLibrary = value;
      } else if (name == QLatin1String("timeout")) {
        bool ok = false;
        p_objOptions.timeout = value.toDouble(&ok);
        if (!ok || p_objOptions.timeout <= 0 || p_objOptions.timeout > 3600) {
          p_sError = QStringLiteral("--timeout takes seconds above 0");
          return false;
        }
      } else if (name == QLatin1String("jobs")) {
        bool ok = false;
        p_objOptions.jobs = value.toInt(&ok);
        p_objOptions.jobsGiven = true;
        if (!ok || p_objOptions.jobs < 1 || p_objOptions.jobs > 1024) {
          p_sError = QStringLiteral("--jobs takes 1 to 1024");
          return false;
        }
      } else {
        p_objOptions.values[name] = value;
      }
    } else {
      p_objOptions.positional << arg;
    }
  }
  if (usb) {
    Target target;
    target.kind = Target::Usb;
    p_objOptions.targets.push_back(target);
  }
  for (Target& target : p_objOptions.targets) {
    target.serialSettings = serialSettings;
    target.usbLibrary = usbLibrary;
  }
  return true;
}

QJsonObject PrinterJson(const PrinterResult& p_objResult) {
  QJsonObject printer;
  printer[QStringLiteral("target")] = p_objResult.target;
  printer[QStringLiteral("ok")] = p_objResult.ok;
  printer[QStringLiteral("error")] = p_objResult.error;
  for (auto it = p_objResult.json.begin(); it != p_objResult.json.end(); ++it) printer[it.key()] = it.value();
  return printer;
}

// Runs a job on every target and reports them all; the highest exit wins.
int RunPerPrinter(const Options& p_objOptions, const PrinterJob& p_fnJob, bool p_bProgress) {
  const std::vector<PrinterResult> results =
      RunFleet(p_objOptions.targets, p_objOptions.jobs, p_bProgress && p_objOptions.targets.size() > 1, p_fnJob);
  int exit = kExitOk;
  QJsonArray printers;
  QStringList lines;
  for (const PrinterResult& result : results) {
    exit = std::max(exit, result.ok ? result.exit : std::max(result.exit, int{kExitNoAnswer}));
    printers.append(PrinterJson(result));
    lines << result.lines;
    if (!result.ok) Print(stderr, QStringLiteral("dazavu: %1: %2\n").arg(result.target, result.error));
  }
  QJsonObject document;
  document[QStringLiteral("printers")] = printers;
  return Finish(p_objOptions, exit, document, lines);
}

// Opens the session; on failure fills the result and returns false.
bool OpenSession(PrinterSession& p_objSession, PrinterResult& p_objResult) {
  if (p_objSession.Open()) return true;
  p_objResult.error = p_objSession.Error();
  return false;
}

bool Done(PrinterSession& p_objSession, PrinterResult& p_objResult, bool p_bOk) {
  p_objResult.ok = p_bOk;
  if (!p_bOk && p_objResult.error.isEmpty()) p_objResult.error = p_objSession.Error();
  return p_bOk;
}

QJsonArray DifferenceRows(const std::vector<Difference>& p_objDifferences, const char* p_sA, const char* p_sB) {
  QJsonArray rows;
  for (const Difference& d : p_objDifferences) {
    QJsonObject row;
    row[QStringLiteral("caption")] = QString::fromLatin1(d.row->caption);
    row[QStringLiteral("item")] = QString::fromLatin1(d.row->item);
    row[QStringLiteral("page")] = QString::fromLatin1(d.row->page);
    row[QString::fromLatin1(p_sA)] = Latin1(d.a);
    row[QString::fromLatin1(p_sB)] = Latin1(d.b);
    rows.append(row);
  }
  return rows;
}

QString DifferenceLine(const Difference& p_objDifference) {
  return QStringLiteral("%1: %2 -> %3")
      .arg(QString::fromLatin1(p_objDifference.row->caption), Latin1(p_objDifference.a), Latin1(p_objDifference.b));
}

// ---------------------------------------------------------------- status
int Status(const Options& p_objOptions, bool p_bProgress) {
  const double timeout = p_objOptions.timeout;
  return RunPerPrinter(
      p_objOptions,
      [timeout](const Target& target, PrinterResult& result) {
        PrinterSession session(target, timeout);
        QString text, code;
        if (!OpenSession(session, result) || !Done(session, result, session.Status(text, code))) return;
        QJsonObject status;
        status[QStringLiteral("text")] = text;
        status[QStringLiteral("code")] = code;
        result.json[QStringLiteral("status")] = status;
        result.lines
            << QStringLiteral("%1\t%2\t%3").arg(result.target, text.isEmpty() ? QStringLiteral("-") : text, code);
      },
      p_bProgress);
}

// ---------------------------------------------------------------- read
int Read(const Options& p_objOptions, bool p_bProgress) {
  const QString outDir = p_objOptions.Value("out-dir");
  bool params = p_objOptions.Has("params");
  bool lan = p_objOptions.Has("lan-settings");
  if (!outDir.isEmpty() && !params && !lan) params = lan = true;
  if (!params && !lan)
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("read needs --params, --lan-settings or --out-dir"));
  if (p_objOptions.targets.size() > 1 && outDir.isEmpty())
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("read of more than one printer needs --out-dir"));
  if (!outDir.isEmpty() && !QFileInfo(outDir).isDir())
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("%1 is no folder").arg(outDir));
  const QString paramsPath = p_objOptions.Value("params");
  const QString lanPath = p_objOptions.Value("lan-settings");
  const double timeout = p_objOptions.timeout;
  return RunPerPrinter(
      p_objOptions,
      [=](const Target& target, PrinterResult& result) {
        PrinterSession session(target, timeout);
        if (!OpenSession(session, result)) return;
        std::vector<int> kinds;
        if (params) kinds.insert(kinds.end(), kParameterKinds.begin(), kParameterKinds.end());
        if (lan) kinds.insert(kinds.end(), kLanKinds.begin(), kLanKinds.end());
        if (!Done(session, result, session.ReadRecords(kinds))) return;
        QJsonObject files;
        files[QStringLiteral("params")] = QJsonValue::Null;
        files[QStringLiteral("lan")] = QJsonValue::Null;
        const auto save = [&](bool wanted, const QString& single, const char* extension, FileKind kind,
                              const char* key) {
          if (!wanted) return true;
          const QString path =
              outDir.isEmpty() ? single : QDir(outDir).filePath(target.FileStem() + QLatin1String(extension));
          if (!SaveSettingsFile(path, kind, session.Items())) {
            result.ok = false;
            result.exit = kExitNoAnswer;
            result.error = QStringLiteral("cannot write %1").arg(path);
            return false;
          }
          files[QString::fromLatin1(key)] = path;
          result.lines << QStringLiteral("%1\t%2").arg(result.target, path);
          return true;
        };
        if (!save(params, paramsPath, ".dt1", FileKind::Parameter, "params")) return;
        if (!save(lan, lanPath, ".dt2", FileKind::Lan, "lan")) return;
        result.json[QStringLiteral("files")] = files;
      },
      p_bProgress);
}

// Loads every file into a fresh catalogue: the check LOAD makes.
bool CheckFiles(const QStringList& p_objFiles, QString& p_sError) {
  for (const QString& path : p_objFiles) {
    CItemManager items;
    if (!LoadSettingsFile(path, items, p_sError)) return false;
  }
  return true;
}

std::vector<int> KindsOf(const QStringList& p_objFiles) {
  bool params = false, lan = false;
  for (const QString& path : p_objFiles) (KindOfFile(path) == FileKind::Lan ? lan : params) = true;
  std::vector<int> kinds;
  if (params) kinds.insert(kinds.end(), kParameterKinds.begin(), kParameterKinds.end());
  if (lan) kinds.insert(kinds.end(), kLanKinds.begin(), kLanKinds.end());
  return kinds;
}

// The differences between what the printer holds and what the files carry.
std::vector<Difference> VerifyAgainst(PrinterSession& p_objSession, const QStringList& p_objFiles) {
  CItemManager expected;
  QString error;
  for (const QString& path : p_objFiles) LoadSettingsFile(path, expected, error);
  std::vector<Difference> all;
  for (FileKind kind : {FileKind::Parameter, FileKind::Lan}) {
    bool carried = false;
    for (const QString& path : p_objFiles) carried = carried || KindOfFile(path) == kind;
    if (!carried) continue;
    for (Difference& d : CompareSettings(p_objSession.Items(), expected, RowsOf(kind))) all.push_back(d);
  }
  return all;
}

void ReportVerify(const std::vector<Difference>& p_objDifferences, PrinterResult& p_objResult) {
  p_objResult.json[QStringLiteral("differences")] = DifferenceRows(p_objDifferences, "printer", "file");
  for (const Difference& d : p_objDifferences)
    p_objResult.lines << p_objResult.target + QLatin1Char('\t') + DifferenceLine(d);
  if (!p_objDifferences.empty()) p_objResult.exit = kExitDifferent;
}

// ---------------------------------------------------------------- write / verify
int Write(const Options& p_objOptions, bool p_bProgress, bool p_bWrite) {
  const QStringList files = p_objOptions.positional;
  if (files.isEmpty()) return Refuse(p_objOptions, kExitUsage, QStringLiteral("name at least one settings file"));
  QString error;
  if (!CheckFiles(files, error)) return Refuse(p_objOptions, kExitRejected, error);
  const double timeout = p_objOptions.timeout;
  const bool verify = p_objOptions.verify || !p_bWrite;
  return RunPerPrinter(
      p_objOptions,
      [=](const Target& target, PrinterResult& result) {
        PrinterSession session(target, timeout);
        if (!OpenSession(session, result)) return;
        if (p_bWrite) {
          QJsonArray written;
          for (const QString& path : files) {
            QString loadError;
            LoadSettingsFile(path, session.Items(), loadError);
            // SET on the page of the file: its records from the loaded values.
            const std::vector<std::string> lines = KindOfFile(path) == FileKind::Lan
                                                       ? BuildLanFileLines(session.Items())
                                                       : BuildParameterFileLines(session.Items());
            for (const std::string& line : lines)
              if (!Done(session, result, session.Send(line))) return;
            written.append(path);
            result.lines << QStringLiteral("%1\twritten %2").arg(result.target, path);
          }
          result.json[QStringLiteral("written")] = written;
        }
        if (verify) {
          if (!Done(session, result, session.ReadRecords(KindsOf(files)))) return;
          ReportVerify(VerifyAgainst(session, files), result);
          if (!p_bWrite && result.exit == kExitOk) result.lines << QStringLiteral("%1\tsame").arg(result.target);
        }
        result.ok = true;
      },
      p_bProgress);
}

// ---------------------------------------------------------------- show / diff sources
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
  for (const auto* rows : RowsOfSource(source)) {
    for (const dz::ShownSetting& row : *rows) {
      const QString here =
          QStringLiteral("[%1 / %2]").arg(QString::fromLatin1(row.page), QString::fromLatin1(row.frame));
      if (here != group) lines << here;
      group = here;
      const QString value = Latin1(dz::ShownValueOf(items, row));
      lines << QStringLiteral("%1: %2").arg(QString::fromLatin1(row.caption), value);
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
  const auto rows = !a.printer ? RowsOfSource(a) : RowsOfSource(b);
  std::vector<Difference> differences;
  for (const auto* table : rows)
    for (Difference& d : CompareSettings(itemsA, itemsB, *table)) differences.push_back(d);
  QStringList lines;
  for (const Difference& d : differences) lines << DifferenceLine(d);
  QJsonObject document;
  document[QStringLiteral("a")] = a.name;
  document[QStringLiteral("b")] = b.name;
  document[QStringLiteral("differences")] = DifferenceRows(differences, "a", "b");
  return Finish(p_objOptions, differences.empty() ? kExitOk : kExitDifferent, document, lines);
}

// ---------------------------------------------------------------- maintenance
int ListChoice(const char* p_sList, const QString& p_sEntry) {
  const dz::ChoiceListData* list = dz::FindChoiceList(p_sList);
  return list ? dz::ChoicePosition(*list, p_sEntry.toStdString()) : -1;
}

int Maintenance(const Options& p_objOptions, bool p_bProgress) {
  if (p_objOptions.positional.isEmpty())
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("name a maintenance action"));
  const QString action = p_objOptions.positional[0];
  const QString argument = p_objOptions.positional.value(1);
  std::vector<std::string> commands;
  bool headCheck = false;
  double settle = 0;  // the second the window gives the printer after an adjustment
  const auto bad = [&](const QString& text) { return Refuse(p_objOptions, kExitUsage, text); };
  if (action == QLatin1String("head-check")) {
    headCheck = true;
  } else if (action == QLatin1String("diag-print")) {
    const int type =
        ListChoice("cmbDiagPrint", p_objOptions.Has("type") ? p_objOptions.Value("type") : QStringLiteral("DIRECT"));
    if (type < 0) return bad(QStringLiteral("--type takes DIRECT or TRANSFR"));
    commands.push_back(BuildDiagPrintCommand(type));
  } else if (action == QLatin1String("test-print")) {
    TestPrintSettings settings;
    const struct {
      const char* option;
      const char* list;
      int* field;
    } lists[] = {{"pattern", "cmbPattern", &settings.pattern},
                 {"sensor", "cmbSensor", &settings.sensor},
                 {"cut", "cmbType", &settings.cutType},
                 {"print-type", "cmbPrtType", &settings.printType}};
    for (const auto& l : lists) {
      if (!p_objOptions.Has(l.option)) continue;
      *l.field = ListChoice(l.list, p_objOptions.Value(l.option));
      if (*l.field < 0) return bad(QStringLiteral("--%1 names no entry of the list").arg(QLatin1String(l.option)));
    }
    if (p_objOptions.Has("speed")) {
      const QString speed = p_objOptions.Value("speed");
      if (speed != QLatin1String("2") && speed != QLatin1String("4"))
        return bad(QStringLiteral("--speed takes 2 or 4"));
      settings.printSpeed = speed == QLatin1String("4") ? 1 : 0;
    }
    const struct {
      const char* option;
      const char* spin;
      int32_t* field;
    } numbers[] = {{"count", "SeIssueCount", &settings.issueCount},
                   {"label-length", "SeLabelLen", &settings.labelLength}};
    for (const auto& n : numbers) {
      if (!p_objOptions.Has(n.option)) continue;
      bool ok = false;
      const int value = p_objOptions.Value(n.option).toInt(&ok);
      const dz::SpinSetupData* spin = dz::FindSpinSetup(n.spin);
      if (!ok || !spin || value < spin->min || value > spin->max)
        return bad(QStringLiteral("--%1 takes %2 to %3")
                       .arg(QLatin1String(n.option))
                       .arg(spin ? spin->min : 0)
                       .arg(spin ? spin->max : 0));
      *n.field = value;
    }
    commands.push_back(BuildTestPrintCommand(settings));
  } else if (action == QLatin1String("ram-clear")) {
    const int mode = ListChoice("cmbRamClear", p_objOptions.Value("mode"));
    if (mode < 0) return bad(QStringLiteral("--mode takes PARAMETER or MANTE.CNT"));
    int destination = -1;
    if (p_objOptions.Has("destination")) {
      destination = ListChoice("cmbDestination", p_objOptions.Value("destination"));
      if (destination < 1) return bad(QStringLiteral("--destination takes JA, CN, QP or QQ"));
    }
    commands.push_back(BuildRamClearCommand(mode, destination));
  } else if (action == QLatin1String("sensor-adjust")) {
    settle = 1;
    if (argument == QLatin1String("reflect"))
      commands.push_back(BuildReflectiveAdjustCommand());
    else if (argument == QLatin1String("trans"))
      commands.push_back(BuildTransmissiveAdjustCommand());
    else if (argument == QLatin1String("paper-end"))
      commands = {BuildPaperEndAdjustCommand(0), BuildPaperEndAdjustCommand(1)};
    else
      return bad(QStringLiteral("sensor-adjust takes reflect, trans or paper-end"));
  } else if (action == QLatin1String("threshold-calib")) {
    const int sensor = ListChoice("cmbThresholdCalib", argument);
    if (sensor < 0) return bad(QStringLiteral("threshold-calib takes REFLECT. or TRANS."));
    commands.push_back(BuildThresholdCalibCommand(sensor));
  } else {
    return bad(QStringLiteral("unknown maintenance action %1").arg(action));
  }
  const double timeout = p_objOptions.timeout;
  return RunPerPrinter(
      p_objOptions,
      [=](const Target& target, PrinterResult& result) {
        PrinterSession session(target, timeout);
        if (!OpenSession(session, result)) return;
        result.json[QStringLiteral("action")] = action;
        if (headCheck) {
          QString text;
          if (!Done(session, result, session.HeadCheck(text))) return;
          result.json[QStringLiteral("result")] = text;
          result.lines << QStringLiteral("%1\t%2").arg(result.target, text.isEmpty() ? QStringLiteral("-") : text);
          return;
        }
        for (const std::string& command : commands)
          if (!Done(session, result, session.Send(command))) return;
        if (settle > 0) session.Wait(settle);
        result.lines << QStringLiteral("%1\t%2").arg(result.target, action);
      },
      p_bProgress);
}

// ---------------------------------------------------------------- discover
int Discover(Options p_objOptions, bool p_bProgress) {
  if (p_objOptions.positional.size() != 1)
    return Refuse(p_objOptions, kExitUsage, QStringLiteral("discover takes one CIDR range"));
  const auto subnet = QHostAddress::parseSubnet(p_objOptions.positional[0]);
  if (subnet.first.protocol() != QAbstractSocket::IPv4Protocol || subnet.second < 16 || subnet.second > 32)
    return Refuse(p_objOptions, kExitUsage,
                  QStringLiteral("discover takes an IPv4 range of at most /16, e.g. 127.0.0.0/24"));
  quint16 port = 8000;
  if (p_objOptions.Has("port")) {
    bool ok = false;
    const uint number = p_objOptions.Value("port").toUInt(&ok);
    if (!ok || number == 0 || number > 65535) return Refuse(p_objOptions, kExitUsage, QStringLiteral("bad --port"));
    port = static_cast<quint16>(number);
  }
  const quint32 count = 1u << (32 - subnet.second);
  const quint32 first = subnet.first.toIPv4Address() & ~(count - 1);
  p_objOptions.targets.clear();
  for (quint32 i = 0; i < count; ++i) {
    Target target;
    target.host = QHostAddress(first + i).toString();
    target.port = port;
    p_objOptions.targets.push_back(target);
  }
  if (!p_objOptions.jobsGiven) p_objOptions.jobs = 64;
  const double timeout = std::min(p_objOptions.timeout, 0.5);
  const std::vector<PrinterResult> results = RunFleet(
      p_objOptions.targets, p_objOptions.jobs, p_bProgress, [timeout](const Target& target, PrinterResult& result) {
        PrinterSession session(target, timeout);
        QString text, code;
        if (!session.Open() || !session.Status(text, code)) return;
        result.ok = true;
        QJsonObject status;
        status[QStringLiteral("text")] = text;
        status[QStringLiteral("code")] = code;
        result.json[QStringLiteral("status")] = status;
        result.lines << QStringLiteral("%1\t%2").arg(target.host, text.isEmpty() ? QStringLiteral("-") : text);
      });
  QJsonArray printers;
  QStringList lines;
  for (const PrinterResult& result : results) {
    if (!result.ok) continue;
    printers.append(PrinterJson(result));
    lines << result.lines;
  }
  QJsonObject document;
  document[QStringLiteral("printers")] = printers;
  return Finish(p_objOptions, kExitOk, document, lines);
}

}  // namespace

int RunCommandLine(const QStringList& p_objArgs, bool p_bStderrIsTerminal) {
  Options options;
  QStringList args = p_objArgs;
  const QStringList commands = {QStringLiteral("status"),      QStringLiteral("read"),    QStringLiteral("write"),
                                QStringLiteral("verify"),      QStringLiteral("diff"),    QStringLiteral("show"),
                                QStringLiteral("maintenance"), QStringLiteral("discover")};
  if (!args.isEmpty() && commands.contains(args.first())) options.command = args.takeFirst();
  QString error;
  const bool parsed = ParseOptions(args, options, error);
  if (options.help) {
    Print(stdout, HelpText(options.command));
    return kExitOk;
  }
  if (options.command.isEmpty()) {
    if (!args.isEmpty() && !args.first().startsWith(QLatin1String("--")))
      return Refuse(options, kExitUsage, QStringLiteral("unknown command %1").arg(args.first()));
    return Refuse(options, kExitUsage, QStringLiteral("name a command"));
  }
  if (!parsed) return Refuse(options, kExitUsage, error);
  const bool printerCommand = options.command != QLatin1String("diff") && options.command != QLatin1String("show") &&
                              options.command != QLatin1String("discover");
  if (printerCommand && options.targets.empty())
    return Refuse(options, kExitUsage, QStringLiteral("name a printer: --lan, --hosts, --com, --serial or --usb"));
  if (options.command == QLatin1String("status")) return Status(options, p_bStderrIsTerminal);
  if (options.command == QLatin1String("read")) return Read(options, p_bStderrIsTerminal);
  if (options.command == QLatin1String("write")) return Write(options, p_bStderrIsTerminal, true);
  if (options.command == QLatin1String("verify")) return Write(options, p_bStderrIsTerminal, false);
  if (options.command == QLatin1String("maintenance")) return Maintenance(options, p_bStderrIsTerminal);
  if (options.command == QLatin1String("show")) return Show(options);
  if (options.command == QLatin1String("diff")) return Diff(options);
  return Discover(options, p_bStderrIsTerminal);
}
