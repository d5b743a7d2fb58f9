#pragma once

#include <QString>

#include <functional>

// Where the console runner writes: a log pane or anything that keeps text in order.
class ConsoleLog {
public:
    virtual ~ConsoleLog() = default;
    // Adds text as one line of its own: on a new line when the log does not end with a
    // line break, and ending with a line break.
    virtual void appendLine(const QString& line) = 0;
    // Adds text at the end exactly as it is, adding and removing no line break.
    virtual void appendText(const QString& text) = 0;
};

inline const QString kConsoleBanner = QStringLiteral("Commencing processing...");
inline const QString kConsoleCompleted = QStringLiteral("Processing completed successfully.");
inline const QString kConsoleRule = QStringLiteral("**********************************");

// Runs command through the command interpreter in workingFolder and copies what it writes to
// standard output and standard error into log as it arrives, decoded from the locale's
// encoding. Returns when the command and every descendant holding its output have ended.
// The log gets the banner first and the three closing lines last on every path, a command
// that cannot start included; such a command shows nothing else. whileWaiting runs every
// few milliseconds while the command runs, so a window can keep painting. An error raised
// on the way (by the log, for example) passes on to the caller after the closing lines.
void RunConsoleCommand(const QString& command, const QString& workingFolder, ConsoleLog& log,
                       const std::function<void()>& whileWaiting = {});
