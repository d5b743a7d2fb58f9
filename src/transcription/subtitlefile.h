#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The save dialog's types, the chosen output format's first so that it is preselected.
QStringList SaveDialogFilters(bool vttChosen);

// The saved form of the pane's text: UTF-8 after the byte-order mark, lines joined by CR LF.
QByteArray SubtitleFileBytes(const QString& paneText);

// Writes the pane's text to the file. The bytes go to a temporary file beside it that
// replaces the old file only when complete, so a failure leaves any old file as it was.
// Empty on success, else the message to show.
QString WriteSubtitleFile(const QString& path, const QString& paneText);
