#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for.
struct CommandLine {
    enum class Action { Convert, Help, Version, BadUsage };
    Action action = Action::BadUsage;
    QStringList sources;  // files or web addresses, each once, in the order given
    QStringList repeated; // sources named more than once (converted once)
    bool vtt = true;
    QString modelName;
    QString outputFolder; // empty: beside each source
    bool overwrite = false;
    QString error; // with BadUsage: what was wrong
};

// Reads the program's arguments (without the program name). Options may come before or
// after the sources and take their value as the next argument or after "="; "--" ends
// the options.
CommandLine ParseCommandLine(const QStringList& arguments);

// The usage text, ending in a line break.
QString UsageText();

// True when the program was started with arguments: the command line runs instead of the
// window, and needs no display.
bool WantsCommandLine(int argc, char** argv);
