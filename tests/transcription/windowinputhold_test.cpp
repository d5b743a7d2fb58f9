#include "transcription/widgets/windowinputhold.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

class InputHoldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* central = new QWidget(&window);
        auto* layout = new QVBoxLayout(central);
        field = new QLineEdit(central);
        button = new QPushButton(QStringLiteral("Go"), central);
        layout->addWidget(field);
        layout->addWidget(button);
        window.setCentralWidget(central);
        action = new QAction(QStringLiteral("Act"), &window);
        window.addAction(action);
        hold = new WindowInputHold(&window);
        window.show();
        other.show();
    }

    QMainWindow window;
    QLineEdit other; // a window of its own, like a message box
    QLineEdit* field = nullptr;
    QPushButton* button = nullptr;
    QAction* action = nullptr;
    WindowInputHold* hold = nullptr;
};

TEST_F(InputHoldTest, InputWaitsUntilTheHoldEndsThenArrivesInOrder)
{
    QSignalSpy clicks(button, &QPushButton::clicked);
    hold->hold();
    QTest::keyClicks(field, QStringLiteral("ab"));
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::keyClicks(field, QStringLiteral("c"));
    EXPECT_EQ(field->text(), QString());
    EXPECT_EQ(clicks.count(), 0);

    hold->release();
    QCoreApplication::processEvents();
    EXPECT_EQ(field->text(), QStringLiteral("abc"));
    EXPECT_EQ(clicks.count(), 1);

    // After the hold, input goes straight through again.
    QTest::keyClicks(field, QStringLiteral("d"));
    EXPECT_EQ(field->text(), QStringLiteral("abcd"));
}

TEST_F(InputHoldTest, OtherWindowsAndPaintingAreNotHeld)
{
    hold->hold();
    QTest::keyClicks(&other, QStringLiteral("ok"));
    EXPECT_EQ(other.text(), QStringLiteral("ok"));
    field->setText(QStringLiteral("shown"));
    EXPECT_EQ(field->text(), QStringLiteral("shown"));
    hold->release();
}

TEST_F(InputHoldTest, HoldsAreCounted)
{
    hold->hold();
    hold->hold();
    hold->release();
    QTest::keyClicks(field, QStringLiteral("a"));
    EXPECT_EQ(field->text(), QString());
    hold->release();
    QCoreApplication::processEvents();
    EXPECT_EQ(field->text(), QStringLiteral("a"));
    hold->release(); // one release too many changes nothing
    EXPECT_FALSE(hold->isHeld());
}

TEST_F(InputHoldTest, ShortcutsOfTheWindowWait)
{
    QSignalSpy triggered(action, &QAction::triggered);
    hold->hold();
    QShortcutEvent shortcut(QKeySequence(QStringLiteral("Ctrl+K")), 0, false);
    QCoreApplication::sendEvent(action, &shortcut);
    EXPECT_EQ(triggered.count(), 0);
    hold->release();
    QCoreApplication::processEvents();
    EXPECT_EQ(triggered.count(), 1);
}

TEST_F(InputHoldTest, InputForAWidgetThatIsGoneIsDroppedAndTheRestArrives)
{
    auto* second = new QLineEdit(window.centralWidget());
    window.centralWidget()->layout()->addWidget(second);
    hold->hold();
    QTest::keyClicks(field, QStringLiteral("x"));
    QTest::keyClicks(second, QStringLiteral("y"));
    delete field;
    hold->release();
    QCoreApplication::processEvents();
    EXPECT_EQ(second->text(), QStringLiteral("y"));
}

} // namespace
