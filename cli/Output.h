#pragma once
// What a command prints: its text lines or one JSON document on standard
// output, errors on standard error, and the JSON and text forms of its
// results.
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <vector>

#include "Fleet.h"
#include "Options.h"
#include "SettingsSources.h"

namespace cli {

// The text as UTF-8 on the stream.
void Print(FILE* p_pStream, const QString& p_sText);
// Ends a command: the JSON document or the text lines on standard output
// (control characters other than tab written as \xNN).
int Finish(const Options& p_objOptions, int p_iExit, QJsonObject p_objDocument, const QStringList& p_objLines);
// Ends a command with an error: the error on standard error (a usage error
// with a pointer to --help) and in the JSON document.
int Refuse(const Options& p_objOptions, int p_iExit, const QString& p_sError);
// The line with its control characters (other than tab) written as \xNN.
QString TerminalSafe(const QString& p_sLine);
// The exit status that wins: 2 over 4 over 3 over 0 (1 and others over all).
int WorseExit(int p_iA, int p_iB);
// One printer's entry of the "printers" array.
QJsonObject PrinterJson(const PrinterResult& p_objResult);
// The differences as JSON rows, the two values under the keys p_sA and p_sB.
QJsonArray DifferenceRows(const std::vector<Difference>& p_objDifferences, const char* p_sA, const char* p_sB);
// "caption: a -> b", the values printable.
QString DifferenceLine(const Difference& p_objDifference);
// The text row of a printer that failed or was not started:
// "TARGET<tab>failed<tab>ERROR" or "TARGET<tab>not started<tab>...".
QString FailedLine(const PrinterResult& p_objResult);

}  // namespace cli
