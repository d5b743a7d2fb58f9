#pragma once

#include "cli/commandline.h"
#include "core/endpoints.h"

#include <QString>

#include <functional>

class QTextStream;

// Everything the conversions of the command line take from outside: the service's hosts,
// the key, and the queue's rhythm (the program uses the defaults; tests shorten them).
struct ConvertSetup {
    Endpoints endpoints;
    QString apiKey;
    int pollIntervalMs = 1000;
    int clockIntervalMs = 1000;
    // The clock of the queue and its jobs (the rate limit, poll spacing, back-off and the
    // waits the service asks for); empty: the system's.
    std::function<qint64()> clock;
    // After Ctrl+C: how long the cancels and deletes may take before the program gives up.
    int cancelGraceMs = 30000;
};

// Exit statuses of the command line.
enum ExitStatus : int {
    ExitAllConverted = 0,
    ExitSomeFailed = 1,
    ExitBadUsage = 2,
    ExitInterrupted = 130,
};

// Converts the command line's sources with the running application's event loop: progress
// on err, one line per change of a file's state; each written path on out, one per line.
// Ctrl+C cancels the running predictions and removes their uploads before returning.
// Answers the exit status.
int RunConvertCommand(const CommandLine& line, const ConvertSetup& setup, QTextStream& out,
                      QTextStream& err);

// Why the folder cannot take the subtitle files (missing, not a folder, not writable), or
// empty when it can.
QString OutputFolderProblem(const QString& folder);

// The text with control characters (a line break in a file name) shown as escapes, so that
// each report stays on one line.
QString PrintableText(const QString& text);
