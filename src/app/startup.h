#pragma once

#include "core/appidentity.h"

#include <QString>
#include <QStringList>
#include <QUrl>

// Reads the identity strings from the program file's version block.
// Throws SystemError when the file carries no version data.
AppIdentity ReadAppIdentity(const QString& programFile);

// The folder for settings.ini, ending in a separator: the program's folder when a file can
// be created there and the program is not an installed one, else
// appDataBase/company/product, whose two levels are created.
QString ChooseDataFolder(const QString& programFolder, const QString& appDataBase,
                         const QString& company, const QString& product);

// The maker's help page for product: "/help/" + the name with A-Z lowered and blanks
// turned into hyphens + "/".
QUrl HelpAddress(const QUrl& makerWeb, const QString& product);

// True for the folder of a program installed under a prefix: prefix/bin beside
// prefix/share/parlotext.
bool IsInstalledProgramFolder(const QString& programFolder);

// The folder that holds the program's shipped file or folder entry ("Languages",
// "license.txt"): the program's own folder when the entry is there (a program run from its
// build or unpacked folder), else, for a program installed as prefix/bin/parlotext,
// prefix/share/parlotext when the entry is there; the program's folder when neither has it.
QString ShippedFilesFolder(const QString& programFolder, const QString& entry);

// The file the program was asked to open (the menu entry's "Open with" passes files as
// arguments): the absolute path of the first argument after the program's name that names
// an existing file; empty when there is none.
QString FileToOpen(const QStringList& arguments);
