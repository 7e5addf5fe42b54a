#pragma once
// "SAVE" and "LOAD" on the page "Parameter Setting" (".dt1") and in the LAN
// frame (".dt2"): the page's values kept in files of write commands and
// brought back, without any printer traffic.
#include <QByteArray>
#include <QString>

#include "OperationContext.h"
#include "SettingsFileStore.h"

namespace dz {

void SaveParameterSettings(OperationContext& ctx);  // btnSave
void LoadParameterSettings(OperationContext& ctx);  // btnLoad
void SaveLanSettings(OperationContext& ctx);        // btnLanSave
void LoadLanSettings(OperationContext& ctx);        // btnLanLoad

// Replaces the file only once the new content is completely on disk; a
// failed write leaves the old file as it was. In a folder where no new file
// can be created, an existing writable file is written in place instead.
// False on any failure.
}  // namespace dz
