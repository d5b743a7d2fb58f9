#include "app/displaycheck.h"

#include <QByteArray>
#include <QFileInfo>
#include <QList>
#include <QMessageLogContext>

#include <cstdio>
#include <cstdlib>

namespace {

const QString kNeedsSession = QStringLiteral("Parlotext needs a graphical session: ");

// The value given to a "-name value" or "-name=value" argument, the toolkit's spelling
// with one or two dashes; empty when absent.
QString argumentValue(const QStringList& arguments, const QString& name)
{
    QString value;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        for (const QString& spelling : {QLatin1Char('-') + name, QStringLiteral("--") + name}) {
            if (argument == spelling && i + 1 < arguments.size())
                value = arguments[i + 1];
            else if (argument.startsWith(spelling + QLatin1Char('=')))
                value = argument.mid(spelling.size() + 1);
        }
    }
    return value;
}

bool x11Named(const DisplayEnvironment& environment)
{
    return !environment.display.isEmpty() ||
           !argumentValue(environment.arguments, QStringLiteral("display")).isEmpty();
}

bool waylandNamed(const DisplayEnvironment& environment,
                  const std::function<bool(const QString&)>& fileExists)
{
    if (!environment.waylandDisplay.isEmpty())
        return true;
    // Without WAYLAND_DISPLAY the Wayland client library tries "wayland-0" in the runtime folder.
    return !environment.runtimeDir.isEmpty() &&
           fileExists(environment.runtimeDir + QStringLiteral("/wayland-0"));
}

} // namespace

DisplayEnvironment CurrentDisplayEnvironment(int argc, char** argv)
{
    DisplayEnvironment environment;
    environment.qpaPlatform = qEnvironmentVariable("QT_QPA_PLATFORM");
    environment.display = qEnvironmentVariable("DISPLAY");
    environment.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
    environment.runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    for (int i = 0; i < argc; ++i)
        environment.arguments.append(QString::fromLocal8Bit(argv[i]));
    return environment;
}

QString NoDisplayMessage(const DisplayEnvironment& environment,
                         const std::function<bool(const QString&)>& fileExists)
{
    QString platforms = argumentValue(environment.arguments, QStringLiteral("platform"));
    if (platforms.isEmpty())
        platforms = environment.qpaPlatform;

    if (!platforms.trimmed().isEmpty()) {
        // A list ("wayland;xcb") is tried in order; one reachable entry is enough.
        for (const QString& entry : platforms.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed();
            if (name == QLatin1String("xcb")) {
                if (x11Named(environment))
                    return {};
            } else if (name.startsWith(QLatin1String("wayland"))) {
                if (waylandNamed(environment, fileExists))
                    return {};
            } else {
                // offscreen, vnc, eglfs, linuxfb, ...: they bring their own screen.
                return {};
            }
        }
        return kNeedsSession + QStringLiteral("the window system \"%1\" has no display "
                                              "(DISPLAY and WAYLAND_DISPLAY are unset).")
                                   .arg(platforms);
    }

    if (x11Named(environment) || waylandNamed(environment, fileExists))
        return {};
    return kNeedsSession + QStringLiteral("no display is available "
                                          "(DISPLAY and WAYLAND_DISPLAY are unset).");
}

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

QtMessageHandler g_previousHandler = nullptr;
QList<HeldMessage>* g_heldMessages = nullptr;

void holdOrFail(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        // The toolkit found no window system it could open: say so in one line and end
        // before it aborts.
        const QString display = qEnvironmentVariable("DISPLAY");
        const QString line =
            kNeedsSession +
            (display.isEmpty()
                 ? QStringLiteral("the window system could not be opened.")
                 : QStringLiteral("the display \"%1\" could not be opened.").arg(display));
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
        std::fflush(stderr);
        std::_Exit(kNoDisplayExitCode);
    }
    g_heldMessages->append({type, QByteArray(context.category), text});
}

} // namespace

NoDisplayGuard::NoDisplayGuard()
{
    g_heldMessages = new QList<HeldMessage>;
    g_previousHandler = qInstallMessageHandler(holdOrFail);
}

NoDisplayGuard::~NoDisplayGuard()
{
    qInstallMessageHandler(g_previousHandler);
    for (const HeldMessage& message : *g_heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        g_previousHandler(message.type, context, message.text);
    }
    delete g_heldMessages;
    g_heldMessages = nullptr;
}
