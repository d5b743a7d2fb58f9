#pragma once

#include <QString>

// The command line from start to end, under a QCoreApplication: no window, no display.
// Answers the exit status.
int RunCommandLine(int argc, char** argv);

// The key for the service: the environment's value when it holds one, else the key the
// window saved in settings.ini (empty when there is none).
QString FindApiKey(const QString& environmentValue, const QString& settingsIniPath);

// What the user reads when no key was found anywhere.
QString MissingKeyText(const QString& settingsIniPath);
