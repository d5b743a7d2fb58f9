#include "transcription/widgets/windowinputhold.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
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
        fileMenu = window.menuBar()->addMenu(QStringLiteral("&File"));
        convert = fileMenu->addAction(QStringLiteral("&Convert"));
        save = fileMenu->addAction(QStringLiteral("&Save"));
        fileMenu->addSeparator();
        exitCommand = fileMenu->addAction(QStringLiteral("E&xit"));
        paneMenu = new QMenu(field); // a pop-up menu of a control, as the pane has
        paneCopy = paneMenu->addAction(QStringLiteral("&Copy"));
        hold = new WindowInputHold(&window);
        window.show();
        other.show();
    }

    QMainWindow window;
    QLineEdit other; // a window of its own, like a message box
    QLineEdit* field = nullptr;
    QPushButton* button = nullptr;
    QAction* action = nullptr;
    QMenu* fileMenu = nullptr;
    QAction* convert = nullptr;
    QAction* save = nullptr;
    QAction* exitCommand = nullptr;
    QMenu* paneMenu = nullptr;
    QAction* paneCopy = nullptr;
    WindowInputHold* hold = nullptr;
};

// Opens menu at the top left of the window, as the user would, and points at item.
void openAndPoint(QMenu* menu, QAction* item, const QWidget& window)
{
    menu->popup(window.mapToGlobal(QPoint(20, 20)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::mouseMove(menu, menu->actionGeometry(item).center());
    menu->setActiveAction(item);
}

// How the user chooses an item of an open menu.
enum class Choice { Click, EnterKey, Mnemonic };

struct MenuCase {
    const char* name;
    Choice choice;
    bool paneMenu;
};

void PrintTo(const MenuCase& c, std::ostream* os)
{
    *os << c.name;
}

class MenuCommandHoldTest : public InputHoldTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuCommandHoldTest, ACommandChosenFromAMenuDuringAHoldRunsWhenTheHoldEnds)
{
    const MenuCase& c = GetParam();
    QMenu* menu = c.paneMenu ? paneMenu : fileMenu;
    QAction* item = c.paneMenu ? paneCopy : convert;
    QSignalSpy chosen(item, &QAction::triggered);
    QSignalSpy others(save, &QAction::triggered);

    // The menu opened before the request began: the user is choosing while it starts.
    openAndPoint(menu, item, window);
    hold->hold();
    switch (c.choice) {
    case Choice::Click:
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        break;
    case Choice::EnterKey:
        QTest::keyClick(menu, Qt::Key_Return);
        break;
    case Choice::Mnemonic:
        QTest::keyClick(menu, Qt::Key_C);
        break;
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen.count(), 0); // not while the request runs
    EXPECT_FALSE(menu->isVisible());

    hold->release();
    QCoreApplication::processEvents();
    EXPECT_EQ(chosen.count(), 1); // never lost: it runs once the request has ended
    EXPECT_EQ(others.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, MenuCommandHoldTest,
                         ::testing::Values(MenuCase{"MenuBarClick", Choice::Click, false},
                                           MenuCase{"MenuBarEnter", Choice::EnterKey, false},
                                           MenuCase{"MenuBarMnemonic", Choice::Mnemonic, false},
                                           MenuCase{"PopUpClick", Choice::Click, true},
                                           MenuCase{"PopUpEnter", Choice::EnterKey, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InputHoldTest, CommandsChosenDuringAHoldRunInTheirOrderAfterTheInputBeforeThem)
{
    QStringList ran;
    QObject::connect(save, &QAction::triggered, [&] { ran << QStringLiteral("save"); });
    QObject::connect(exitCommand, &QAction::triggered, [&] { ran << QStringLiteral("exit"); });
    QObject::connect(field, &QLineEdit::textChanged,
                     [&](const QString& text) { ran << QStringLiteral("typed ") + text; });
    hold->hold();
    QTest::keyClicks(field, QStringLiteral("a"));
    openAndPoint(fileMenu, save, window);
    QTest::mouseClick(fileMenu, Qt::LeftButton, {}, fileMenu->actionGeometry(save).center());
    openAndPoint(fileMenu, exitCommand, window);
    QTest::keyClick(fileMenu, Qt::Key_Enter);
    EXPECT_TRUE(ran.isEmpty());
    hold->release();
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, (QStringList{"typed a", "save", "exit"}));
}

TEST_F(InputHoldTest, MenusOfOtherWindowsAndMenuNavigationAreNotHeld)
{
    QMenu stranger; // a menu of another window
    QAction* strangerItem = stranger.addAction(QStringLiteral("Other"));
    QSignalSpy strangerChosen(strangerItem, &QAction::triggered);
    hold->hold();
    openAndPoint(&stranger, strangerItem, window);
    QTest::mouseClick(&stranger, Qt::LeftButton, {},
                      stranger.actionGeometry(strangerItem).center());
    EXPECT_EQ(strangerChosen.count(), 1);

    // Moving through the window's own menu still works; only choosing waits.
    openAndPoint(fileMenu, convert, window);
    QTest::keyClick(fileMenu, Qt::Key_Down);
    EXPECT_EQ(fileMenu->activeAction(), save);
    QTest::keyClick(fileMenu, Qt::Key_Escape);
    EXPECT_FALSE(fileMenu->isVisible());
    hold->release();
}

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
