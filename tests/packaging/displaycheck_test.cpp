// Starting the window without a display: one line that says a graphical session is needed
// and a failing exit status, never the toolkit's abort.
#include "app/displaycheck.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct DisplayCase {
    const char* name;
    const char* qpaPlatform;
    const char* display;
    const char* waylandDisplay;
    std::vector<const char*> arguments; // after the program name
    bool waylandZeroSocket;             // XDG_RUNTIME_DIR/wayland-0 exists
    bool available;
};

class NoDisplayMessageTest : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(NoDisplayMessageTest, DecidesFromEnvironmentAndArguments)
{
    const DisplayCase& c = GetParam();
    DisplayEnvironment environment;
    environment.qpaPlatform = QString::fromUtf8(c.qpaPlatform);
    environment.display = QString::fromUtf8(c.display);
    environment.waylandDisplay = QString::fromUtf8(c.waylandDisplay);
    environment.runtimeDir = QStringLiteral("/run/user/1000");
    environment.arguments.append(QStringLiteral("parlotext"));
    for (const char* argument : c.arguments)
        environment.arguments.append(QString::fromUtf8(argument));
    QStringList probed;
    const auto fileExists = [&](const QString& path) {
        probed.append(path);
        return c.waylandZeroSocket && path == QLatin1String("/run/user/1000/wayland-0");
    };

    const QString message = NoDisplayMessage(environment, fileExists);

    if (c.available) {
        EXPECT_TRUE(message.isEmpty()) << message.toStdString();
    } else {
        EXPECT_TRUE(message.startsWith(QLatin1String("Parlotext needs a graphical session")))
            << message.toStdString();
        EXPECT_FALSE(message.contains(QLatin1Char('\n')));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Environments, NoDisplayMessageTest,
    ::testing::Values(
        DisplayCase{"NothingSet", "", "", "", {}, false, false},
        DisplayCase{"X11Display", "", ":0", "", {}, false, true},
        DisplayCase{"WaylandDisplay", "", "", "wayland-1", {}, false, true},
        DisplayCase{"WaylandDefaultSocket", "", "", "", {}, true, true},
        DisplayCase{"Offscreen", "offscreen", "", "", {}, false, true},
        DisplayCase{
            "OffscreenWithOptions", "offscreen:fontengine=freetype", "", "", {}, false, true},
        DisplayCase{"XcbWithoutDisplay", "xcb", "", "wayland-0", {}, false, false},
        DisplayCase{"XcbWithDisplay", "xcb", ":1", "", {}, false, true},
        DisplayCase{"WaylandPlatformWithoutSocket", "wayland", ":0", "", {}, false, false},
        DisplayCase{"ListTriesEachEntry", "wayland;xcb", ":0", "", {}, false, true},
        DisplayCase{"ListOfUnreachableEntries", "wayland;xcb", "", "", {}, false, false},
        DisplayCase{"PlatformArgumentWins", "xcb", "", "", {"-platform", "offscreen"}, false, true},
        DisplayCase{"PlatformArgumentWithEquals", "", "", "", {"--platform=xcb"}, false, false},
        DisplayCase{"DisplayArgument", "", "", "", {"-display", ":2"}, false, true},
        DisplayCase{"DanglingDisplayArgument", "", "", "", {"-display"}, false, false}),
    [](const ::testing::TestParamInfo<DisplayCase>& info) { return info.param.name; });

// The built program, started the way a user's shell would start it without a display.
struct RunCase {
    const char* name;
    const char* display; // null: unset
};

class ProgramWithoutDisplayTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(ProgramWithoutDisplayTest, PrintsOneLineAndFails)
{
    QTemporaryDir runtime;
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE",
                             "QT_QPA_PLATFORMTHEME"})
        environment.remove(QString::fromUtf8(name));
    if (GetParam().display)
        environment.insert(QStringLiteral("DISPLAY"), QString::fromUtf8(GetParam().display));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));

    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(PARLOTEXT_PROGRAM), {});
    ASSERT_TRUE(program.waitForFinished(30000));

    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "the program crashed or aborted";
    EXPECT_EQ(program.exitCode(), kNoDisplayExitCode);
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    const QStringList lines = errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << errors.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QLatin1String("Parlotext needs a graphical session")))
        << errors.toStdString();
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Starts, ProgramWithoutDisplayTest,
    // The second display is named but has no server behind it: the toolkit's own failure.
    ::testing::Values(RunCase{"NoDisplayNamed", nullptr}, RunCase{"DisplayWithoutServer", ":87"}),
    [](const ::testing::TestParamInfo<RunCase>& info) { return info.param.name; });

} // namespace
