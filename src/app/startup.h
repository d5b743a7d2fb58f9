#pragma once

#include "core/appidentity.h"

#include <QString>
#include <QUrl>

// Reads the identity strings from the program file's version block.
// Throws SystemError when the file carries no version data.
AppIdentity ReadAppIdentity(const QString& programFile);

// The folder for settings.ini, ending in a separator: the program's folder when a file can
// be created there, else appDataBase/company/product, whose two levels are created.
QString ChooseDataFolder(const QString& programFolder, const QString& appDataBase,
                         const QString& company, const QString& product);

// The maker's help page for product: "/help/" + the name with A-Z lowered and blanks
// turned into hyphens + "/".
QUrl HelpAddress(const QUrl& makerWeb, const QString& product);
