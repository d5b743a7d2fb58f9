#pragma once

#include <QString>

#include <optional>

// The local file an address field names: a path, or a file:// URL. Nothing for a web
// address (http, https or any other scheme), which goes to the service as it is typed, and
// nothing for text of blanks only, which the service judges.
std::optional<QString> LocalPathFromInput(const QString& input);

// Why the file cannot be sent, naming it (missing, a folder, unreadable, empty); empty
// text when it can.
QString LocalFileProblem(const QString& path);

// True when the file's extension is one of the usual video containers. Audio inside a
// video container is taken out by ffmpeg before the upload; a file that turns out to hold
// no audio is reported by ffmpeg.
bool LooksLikeVideo(const QString& path);

// The program beside this one (in programFolder) when it is there, else the one on PATH;
// empty when there is none.
QString FindHelperProgram(const QString& name, const QString& programFolder);
