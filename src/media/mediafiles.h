#pragma once

#include <QSet>
#include <QString>

// The first free variant of path: path itself when no file is there, else
// folder + name + " (n)" + extension for n = 2, 3, ... until no file is there. Only files
// count (a symbolic link counts as its target); a folder of the same name does not.
QString UniqueFileName(const QString& path);

// Like UniqueFileName, but any entry makes a candidate taken, a folder included: for a
// target that is about to be written, where a folder in the way would make writing fail.
QString FirstFreeFileName(const QString& path);
// Like FirstFreeFileName; a name in claimed (promised to a file not yet written) is taken
// too.
QString FirstFreeFileName(const QString& path, const QSet<QString>& claimed);

// The size of the entry named path as it stands in its folder, or -1 when there is none.
// The name is taken literally (no wildcards); entries that are not regular files
// (folders, symbolic links, devices) count as 0, as a folder listing gives them.
qint64 FileSizeByName(const QString& path);

// The size of the file at path, following symbolic links; 0 for a folder, -1 when the
// file's attributes cannot be read.
qint64 FileSizeByAttributes(const QString& path);
