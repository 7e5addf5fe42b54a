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
      .arg(QString::fromLatin1(p_objDifference.row->caption), Latin1(p_objDifference.a), Latin1(p_objDifference.b));
}

}  // namespace cli
