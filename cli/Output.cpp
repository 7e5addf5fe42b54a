#include "Output.h"

#include <QJsonDocument>

#include "CommandLine.h"

namespace cli {

void Print(FILE* p_pStream, const QString& p_sText) {
  const QByteArray bytes = p_sText.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), p_pStream);
}

int Finish(const Options& p_objOptions, int p_iExit, QJsonObject p_objDocument, const QStringList& p_objLines) {
  if (p_objOptions.json) {
    QJsonObject document;
    document[QStringLiteral("command")] = p_objOptions.command;
    document[QStringLiteral("ok")] = p_iExit == kExitOk;
    document[QStringLiteral("exit")] = p_iExit;
    for (auto it = p_objDocument.begin(); it != p_objDocument.end(); ++it) document[it.key()] = it.value();
    Print(stdout, QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented)));
  } else {
    for (const QString& line : p_objLines) Print(stdout, TerminalSafe(line) + QLatin1Char('\n'));
  }
  return p_iExit;
}

QString TerminalSafe(const QString& p_sLine) {
  QString out;
  out.reserve(p_sLine.size());
  for (const QChar c : p_sLine) {
    const char16_t code = c.unicode();
    if ((code < 0x20 && code != u'\t') || (code >= 0x7F && code <= 0x9F))
      out += QStringLiteral("\\x%1").arg(static_cast<uint>(code), 2, 16, QLatin1Char('0'));
    else
      out += c;
  }
  return out;
}

int WorseExit(int p_iA, int p_iB) {
  // 2 (a printer not reached or answering wrongly) over 4 (a rejected file)
  // over 3 (a difference) over 0.
  const auto rank = [](int exit) {
    switch (exit) {
      case kExitNoAnswer:
        return 3;
      case kExitRejected:
        return 2;
      case kExitDifferent:
        return 1;
      default:
        return exit == kExitOk ? 0 : 4;
    }
  };
  return rank(p_iB) > rank(p_iA) ? p_iB : p_iA;
}

int Refuse(const Options& p_objOptions, int p_iExit, const QString& p_sError) {
  Print(stderr, QStringLiteral("dazavu: %1\n").arg(TerminalSafe(p_sError)));
  if (p_iExit == kExitUsage && !p_objOptions.json)
    Print(stderr, p_objOptions.command.isEmpty()
                      ? QStringLiteral("Try 'dazavu --help'.\n")
                      : QStringLiteral("Try 'dazavu %1 --help'.\n").arg(p_objOptions.command));
  QJsonObject document;
  document[QStringLiteral("error")] = p_sError;
  return Finish(p_objOptions, p_iExit, document, {});
}

QJsonObject PrinterJson(const PrinterResult& p_objResult) {
  QJsonObject printer;
  printer[QStringLiteral("target")] = p_objResult.target;
  printer[QStringLiteral("ok")] = p_objResult.ok;
  printer[QStringLiteral("error")] = p_objResult.error;
  for (auto it = p_objResult.json.begin(); it != p_objResult.json.end(); ++it) printer[it.key()] = it.value();
  return printer;
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
      .arg(QString::fromLatin1(p_objDifference.row->caption), Printable(p_objDifference.a),
           Printable(p_objDifference.b));
}

QString FailedLine(const PrinterResult& p_objResult) {
  return QStringLiteral("%1\t%2\t%3")
      .arg(p_objResult.target, p_objResult.started ? QStringLiteral("failed") : QStringLiteral("not started"),
           p_objResult.error);
}

}  // namespace cli
