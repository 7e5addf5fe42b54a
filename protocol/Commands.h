#pragma once
// The printer's command texts and their byte form. Every command is a single
// byte text framed "{" + code + parameters + "|}"; its byte form is one byte
// per character, unchanged.
#include <cstdint>
#include <string>
#include <vector>

class CItemManager;

using Bytes = std::vector<uint8_t>;

// The byte form of a command text: byte i is the code of character i+1.
// The previous contents of p_byData are discarded. Always true.
bool TextToBytes(const std::string& p_sText, Bytes& p_byData);

// "{Z2;" k "," fields "|}" for k = 1 (Parameter) or 2 (Adjustment); else "".
std::string BuildWriteRecordCommand(CItemManager& p_objItems, int p_iKind);
// "{Z5;" k "|}" for read kinds 0 to 4; else "".
std::string BuildReadRecordCommand(int p_iKind);
// "{IP;" k then ",aaa" four times, "|}" for k = 2 (IP address), 3 (gateway),
// 4 (subnet mask); else "".
std::string BuildIpAddressCommand(CItemManager& p_objItems, int p_iKind);
// "{IS;" setting "," port "|}".
std::string BuildSocketPortCommand(CItemManager& p_objItems);
// "{IH;" setting "," client id "," host name + character 255 fill to 16 "|}".
std::string BuildDhcpCommand(CItemManager& p_objItems);
