// The application-wide error handler, with the program's own application object.
#include "app/parlotextapplication.h"

#include "support/recordingdesktop.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

RecordingDesktop* g_desktop = nullptr;

class ThrowingObject : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("Cannot open file \"x\". Access denied");
        return QObject::event(event);
    }
};

TEST(ParlotextApplication, AnUncaughtErrorIsShownUnderParlotextAndTheProgramGoesOn)
{
    ThrowingObject object;
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    bool ranAfterwards = false;
    QTimer::singleShot(0, [&] {
        ranAfterwards = true;
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    ASSERT_EQ(g_desktop->messages.size(), 1);
    EXPECT_EQ(g_desktop->messages[0].title, QStringLiteral("Parlotext"));
    EXPECT_EQ(g_desktop->messages[0].text, QStringLiteral("Cannot open file \"x\". Access denied"));
    EXPECT_EQ(g_desktop->messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(ranAfterwards);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    RecordingDesktop desktop;
    g_desktop = &desktop;
    ParlotextApplication application(argc, argv, desktop);
    return RUN_ALL_TESTS();
}
