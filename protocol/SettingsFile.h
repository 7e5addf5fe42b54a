#pragma once
// The lines of the two settings files and their loaders. A parameter
// settings file (".dt1") holds the two "{Z2;" write records, a LAN settings
// file (".dt2") the IP address, gateway, subnet mask, socket port and DHCP
// commands; one command per line, CR LF line ends, single-byte text.
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
std::vector<std::string> SplitFileLines(const std::string& p_sFile);

// Loads the file's bytes into the catalogue. The whole file is checked first:
// a file with a format error changes no item and gives false; otherwise
// every line is applied in order (the last of repeated lines wins) and the
// result is true.
bool LoadParameterFile(CItemManager& p_objItems, const std::string& p_sFile);
bool LoadLanFile(CItemManager& p_objItems, const std::string& p_sFile);
