#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// What decides whether the window system can be reached: the environment the toolkit reads
// and the program's own arguments ("-platform", "-display").
struct DisplayEnvironment {
    QString qpaPlatform;    // QT_QPA_PLATFORM
    QString display;        // DISPLAY
    QString waylandDisplay; // WAYLAND_DISPLAY
    QString runtimeDir;     // XDG_RUNTIME_DIR
    QStringList arguments;  // the command line, program name first
};

// The running process's environment and arguments.
DisplayEnvironment CurrentDisplayEnvironment(int argc, char** argv);

// Empty when a display may be reachable; otherwise the one line to print, saying that a
// graphical session is needed and why there is none. Only the obvious cases are caught
// here (no display named at all); a named display that cannot be opened is caught by
// NoDisplayGuard. fileExists answers whether a socket file is present.
QString NoDisplayMessage(const DisplayEnvironment& environment,
                         const std::function<bool(const QString&)>& fileExists);

// Lives while the application object is being created. The toolkit aborts with a long report
// when the window system it chose cannot be opened; while the guard lives, that report is
// held back and the program prints one line and ends with status 1 instead. Messages held
// back are passed on when the guard ends without such a failure.
class NoDisplayGuard final {
public:
    NoDisplayGuard();
    ~NoDisplayGuard();
    NoDisplayGuard(const NoDisplayGuard&) = delete;
    NoDisplayGuard& operator=(const NoDisplayGuard&) = delete;
};

// The exit status of a start without a display.
constexpr int kNoDisplayExitCode = 1;
