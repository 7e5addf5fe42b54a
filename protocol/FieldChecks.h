#pragma once
// Whether the text of a record field is a value its item can hold, and the
// same check applied to a whole settings file, a record reply and a status
// reply. Each check returns the empty text when all is well and otherwise
// what is wrong, in words fit for the user.
//
// A field holds digits for a decimal item, hexadecimal digits for a
// hexadecimal item, "+" or "-" for a direction, and a text item (the DHCP
// client id and host name) any character but a control character and the
// frame characters "{", "|" and "}"; the DHCP texts may hold their fill
// character 255. A list position the window's list does not have is a
// decimal like any other and passes: a printer's newer firmware may have
// more entries.
#include <string>
#include <vector>

#include "Commands.h"

class CItem;
class CItemManager;

enum class SettingsFileKind { Parameter, Lan };

// The character classes a field may hold.
enum class FieldRule { Decimal, Hex, Direction, Text };
FieldRule RuleOf(const CItem& p_objItem);

// True for a byte that is a control character (C0, DEL, C1).
bool IsControlByte(unsigned char p_cByte);
// True when the text holds "{", "|" or "}".
bool HoldsFrameCharacter(const std::string& p_sText);

// Checks one field's text against its item (width and characters).
std::string CheckFieldText(const CItem& p_objItem, const std::string& p_sText);

// The text with every control character, "\" and non-ASCII byte other than
// character 255 written as \xNN, for messages.
std::string EscapeForMessage(const std::string& p_sText);

// Checks a whole settings file: a ".dt1" holds exactly the Parameter and
// the Adjustment write record lines, a ".dt2" exactly the IP address,
// gateway, subnet mask, socket port and DHCP lines, in the order SAVE writes
// them, each line of its own width and frame and every field a value its
// item can hold. Lines end in CR LF or LF. On success p_objLines holds the
// lines (without their ends); otherwise the reason names the line.
std::string CheckSettingsFile(SettingsFileKind p_eKind, const std::string& p_sFile,
                              std::vector<std::string>& p_objLines);

// Checks a record reply frame of a read kind (0 to 4): it starts with "{",
// holds every field of the kind's record and every field is a value its item
// can hold (the font code as the printer's hexadecimal digit).
std::string CheckRecordReply(int p_iKind, const Bytes& p_byFrame);

// Checks a status reply: 13 bytes, the first 0x01, a status code of the
// status table. An unknown code is "unknown status code" with its two bytes
// in hexadecimal.
std::string CheckStatusReply(const Bytes& p_byReply);

// The items a settings file of the kind carries (those of its write
// records) and the items a printer reports (those of the five read records).
std::vector<const CItem*> ItemsCarriedBy(const CItemManager& p_objItems, SettingsFileKind p_eKind);
std::vector<const CItem*> ItemsReportedByPrinter(const CItemManager& p_objItems);
