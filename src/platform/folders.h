#pragma once

#include <QString>

// True when a new file can be created in folder: the probe file "chk.tmp" is created
// exclusively and deleted again. A folder that already holds a "chk.tmp" counts as not
// writable, as does any folder where the probe fails.
bool IsFolderWritable(const QString& folder);

// The folder of the running program file, without a trailing separator.
QString ProgramFolder();
// The user's roaming application-data folder (~/.config).
QString RoamingAppDataFolder();
// The user's desktop folder.
QString DesktopFolder();
