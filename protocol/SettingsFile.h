#pragma once
// The lines of the two settings files and their loaders. A parameter
// settings file (".dt1") holds the two "{Z2;" write records, a LAN settings
// file (".dt2") the IP address, gateway, subnet mask, socket port and DHCP
// commands; one command per line, CR LF line ends, single-byte text.
#include <cstddef>
#include <string>
#include <vector>

class CItemManager;

// The two ".dt1" lines: write record 1, then write record 2.
std::vector<std::string> BuildParameterFileLines(CItemManager& p_objItems);
// The five ".dt2" lines: IP address, gateway, subnet mask, socket port, DHCP.
std::vector<std::string> BuildLanFileLines(CItemManager& p_objItems);
// The file's bytes: each line followed by CR LF.
std::string JoinFileLines(const std::vector<std::string>& p_objLines);

// Splits file bytes into lines. CR LF, a lone CR and a lone LF each end a
// line; a last line without an end still counts; no line follows the final
// line end.
//
// A DHCP client id or host name read from a printer may hold the bytes CR
// and LF, and the tool writes such a field as it is, so a line end alone does
// not always end a line. Every line the tool writes has a fixed width given by
// its first five characters (p_fnWidths; none for an unknown head) and ends in
// "|}". The text up to the first line end is the line when its length is one
// of those widths and it ends in "|}". Otherwise, the first width (in the
// order given) whose bytes end in "|}" and are followed by a line end is the
// line: its fields hold line-end bytes. Otherwise the text up to the first
// line end is the line, and the loader judges it. So files with CR LF, with
// plain LF and with mixed line ends load as before, and a file the tool saved
// loads back whatever bytes its fields hold.
using LineWidths = std::vector<size_t> (*)(const std::string& p_sHead);
std::vector<std::string> SplitFileLines(const std::string& p_sFile, LineWidths p_fnWidths = nullptr);
// The line widths of the two files: "{Z2;1" 43, "{Z2;2" 39; "{IP;2" to
// "{IP;4" 23, "{IS;" 13, "{IH;" 57 or 40.
std::vector<size_t> ParameterLineWidths(const std::string& p_sHead);
std::vector<size_t> LanLineWidths(const std::string& p_sHead);

// Loads the file's bytes into the catalogue. The whole file is checked first
// (a field holding "{", "|" or "}" is a format error, so that no line ever
// carries more than one command):
// a file with a format error changes no item and gives false; otherwise
// every line is applied in order (the last of repeated lines wins) and the
// result is true.
bool LoadParameterFile(CItemManager& p_objItems, const std::string& p_sFile);
bool LoadLanFile(CItemManager& p_objItems, const std::string& p_sFile);
