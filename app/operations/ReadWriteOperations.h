#pragma once
// "READ" and "SET" on the page "Parameter Setting" and in the LAN frame:
// the printer's records read into the catalogue and shown, the edited
// controls written back to the printer.
#include <QString>

#include "OperationContext.h"

namespace dz {

// Sends the read command of one record; the caller has set m_iReplyRecord
// and called BeginBusy.
bool ReadRecord(OperationContext& ctx, int p_iKind);

void ReadParameters(OperationContext& ctx);    // btnRead
void WriteParameters(OperationContext& ctx);   // btnSet
void ReadLanSettings(OperationContext& ctx);   // btnLanRead
void WriteLanSettings(OperationContext& ctx);  // btnLanSet

// The message for a host name character that has no single-byte code.
QString HostNameCharacterMessage(QChar p_cCharacter, bool p_bSaving);
// True when the DHCP client id (read from a printer; no box edits it) holds
// "{", "|" or "}", which would end the DHCP command early and start another;
// the message saying so, nothing sent or saved, is shown.
bool RefuseFramedClientId(CItemManager& p_objItems, bool p_bSaving);

}  // namespace dz
