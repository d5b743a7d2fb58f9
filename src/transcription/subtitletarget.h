#pragma once

#include <QSet>
#include <QString>

// Where the subtitles of one source go: beside a local source, or in outputFolder when one
// is given (and always for a web address, which has no folder of its own). The name is the
// source's name with its last extension replaced by ".vtt" or ".srt" and control characters
// replaced by "_". An existing file is
// kept and the first free " (n)" name taken, unless overwrite is set; even then the source
// itself is never replaced. Names already given out in this run (claimed) are never given
// again, whether or not their files are on disk yet.
QString SubtitleTargetPath(const QString& source, const QString& outputFolder, bool vtt,
                           bool overwrite, const QSet<QString>& claimed);

// True when the source is a web address rather than a file on this machine.
bool IsWebAddress(const QString& source);

// A source's identity for finding the same file named twice: the canonical path of an
// existing file, the absolute path of a missing one, a web address as given.
QString SourceIdentity(const QString& source);

// The name shown for a source: a file's name without its folder, a web address in full.
QString SourceDisplayName(const QString& source);
