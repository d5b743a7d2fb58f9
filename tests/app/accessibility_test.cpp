// Every window of the program as a screen reader and a keyboard user meet it. The checks
// walk each window's widgets and menus instead of listing them, so that controls added
// later are held to the same rules: a name for every control a user can act on, a keyboard
// path to every menu command, a Tab chain that follows the layout, and a visible focus.
#include "about/aboutbox.h"
#include "app/appform.h"
#include "app/appicons.h"
#include "language/textcatalogue.h"
#include "language/widgets/translateform.h"
#include "platform/accessiblelabel.h"
#include "platform/keyboardcontrol.h"
#include "services/widgets/feedback.h"
#include "services/widgets/newversion.h"
#include "support/recordingdesktop.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRgb>
#include <QSet>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Parts of composite controls (a combo box's list, a text box's viewport and scroll bars,
// a tab bar's scroll buttons) belong to their control and are reached through it.
bool isPartOfCompositeControl(const QWidget* widget, const QWidget* window)
{
    if (widget->window() != window)
        return true; // a window of its own, such as a combo box's list, goes with its control
    for (const QWidget* p = widget->parentWidget(); p && p != window; p = p->parentWidget()) {
        if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractScrollArea*>(p) ||
            qobject_cast<const QTabBar*>(p) || qobject_cast<const QLineEdit*>(p) ||
            qobject_cast<const QAbstractSpinBox*>(p))
            return true;
    }
    return false;
}

// The hand pointer is how the program tells the mouse that something is clicked.
bool looksClickable(const QWidget* widget)
{
    return widget->testAttribute(Qt::WA_SetCursor) &&
           widget->cursor().shape() == Qt::PointingHandCursor;
}

// A control a user acts on: one that takes the keyboard, one of the kinds that act, or one
// that looks clickable.
bool isActionable(const QWidget* widget)
{
    if (looksClickable(widget))
        return true;
    if (widget->objectName().startsWith(QLatin1String("qt_")) &&
        !qobject_cast<const QTabBar*>(widget))
        return false; // Qt's own helpers, such as a toolbar's overflow button
    return (widget->focusPolicy() & Qt::TabFocus) || qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget) ||
           qobject_cast<const QComboBox*>(widget) || qobject_cast<const QTabBar*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget);
}

std::vector<QWidget*> controlsOf(QWidget* window)
{
    std::vector<QWidget*> controls;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->isWindow() && widget != window)
            continue; // a window of its own (a menu, a dialog) is checked on its own terms
        if (!isPartOfCompositeControl(widget, window) && isActionable(widget))
            controls.push_back(widget);
    }
    return controls;
}

QString accessibleText(QObject* object, QAccessible::Text which)
{
    QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(object);
    return interface ? interface->text(which).trimmed() : QString();
}

// Where a control sits, for a failure message that lets one find it.
std::string whereIs(const QWidget* widget, const QWidget* window)
{
    QStringList path;
    for (const QWidget* w = widget; w && w != window; w = w->parentWidget())
        path.prepend(QString::fromLatin1(w->metaObject()->className()) +
                     (w->objectName().isEmpty() ? QString() : QLatin1Char('#') + w->objectName()));
    const QPoint at = widget->mapTo(window, QPoint(0, 0));
    return (QString::fromLatin1(window->metaObject()->className()) + QStringLiteral(" > ") +
            path.join(QStringLiteral(" > ")) + QStringLiteral(" at %1,%2").arg(at.x()).arg(at.y()))
        .toStdString();
}

void expectEveryControlNamed(QWidget* window)
{
    const std::vector<QWidget*> controls = controlsOf(window);
    EXPECT_FALSE(controls.empty());
    for (QWidget* control : controls) {
        EXPECT_FALSE(accessibleText(control, QAccessible::Name).isEmpty())
            << "no accessible name: " << whereIs(control, window);
        // What the mouse can click, the keyboard can reach.
        if (looksClickable(control)) {
            EXPECT_TRUE(control->focusPolicy() & Qt::TabFocus)
                << "clickable, but not by keyboard: " << whereIs(control, window);
        }
        // Each page of a page control is read by its own name.
        if (qobject_cast<QTabBar*>(control)) {
            QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(control);
            for (int i = 0; bar && i < bar->childCount(); ++i) {
                QAccessibleInterface* tab = bar->child(i);
                if (tab->role() == QAccessible::PageTab) {
                    EXPECT_FALSE(tab->text(QAccessible::Name).trimmed().isEmpty())
                        << "page without a name in " << whereIs(control, window);
                }
            }
        }
    }
}

QString withoutMnemonic(const QString& text)
{
    return NameFromLabelText(text);
}

// The commands of every menu of the window, visible or not (a hidden one may be shown one
// day), have names; the menu bar's menus each open with their own Alt+letter, so every
// command is one mnemonic and a few arrow keys away.
void expectMenusReachable(QWidget* window)
{
    if (auto* main = qobject_cast<QMainWindow*>(window); main && main->menuWidget()) {
        QSet<QString> letters;
        for (QAction* top : main->menuBar()->actions()) {
            if (top->isSeparator())
                continue;
            const QKeySequence mnemonic = QKeySequence::mnemonic(top->text());
            EXPECT_FALSE(mnemonic.isEmpty())
                << "menu without Alt+letter: " << top->text().toStdString();
            if (!top->isVisible() || mnemonic.isEmpty())
                continue;
            EXPECT_FALSE(letters.contains(mnemonic.toString()))
                << "two menus share " << mnemonic.toString().toStdString();
            letters.insert(mnemonic.toString());
        }
    }
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        for (QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            EXPECT_FALSE(withoutMnemonic(action->text()).isEmpty())
                << "menu command without a name in " << menu->title().toStdString();
        }
    }
    // A toolbar command that is not a control of its own is read by its action's text.
    for (QToolBar* toolBar : window->findChildren<QToolBar*>()) {
        for (QAction* action : toolBar->actions()) {
            if (!action->isSeparator() && !toolBar->widgetForAction(action)) {
                EXPECT_FALSE(withoutMnemonic(action->text()).isEmpty());
            }
        }
    }
}

QRect rectIn(const QWidget* widget, const QWidget* window)
{
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

// Reading order: on the same row (their heights overlap by more than a few pixels) left to
// right, otherwise top to bottom.
bool comesAfter(const QRect& a, const QRect& b)
{
    const int overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top());
    if (overlap > 4)
        return b.left() > a.left();
    return b.top() > a.top();
}

bool takesTabFocus(const QWidget* widget, const QWidget* window)
{
    return widget->isVisible() && widget->isEnabled() && !widget->focusProxy() &&
           (widget->focusPolicy() & Qt::TabFocus) && !isPartOfCompositeControl(widget, window) &&
           widget->window() == window;
}

QImage look(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Whether the focus shows: enough pixels change clearly, not a faint tint of a few.
bool showsFocus(const QImage& focused, const QImage& unfocused)
{
    if (focused.size() != unfocused.size())
        return true;
    int changed = 0;
    for (int y = 0; y < focused.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(focused.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(unfocused.constScanLine(y));
        for (int x = 0; x < focused.width(); ++x) {
            const int difference =
                std::max({std::abs(qRed(a[x]) - qRed(b[x])), std::abs(qGreen(a[x]) - qGreen(b[x])),
                          std::abs(qBlue(a[x]) - qBlue(b[x]))});
            if (difference >= 64)
                ++changed;
        }
    }
    return changed >= 12;
}

// Presses Tab around the whole window. Every control that takes Tab is reached, the
// round follows the layout (the one step against reading order is the jump from the last
// control back to the first), and each control looks different while it has the focus.
void expectTabChainInReadingOrder(QWidget* window)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    std::vector<QWidget*> expected;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (takesTabFocus(widget, window))
            expected.push_back(widget);
    }
    ASSERT_FALSE(expected.empty())
        << "nothing in " << window->metaObject()->className() << " takes Tab";
    // One Tab first, so that every control in the round got its focus from the keyboard.
    expected.front()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* start = QApplication::focusWidget();
    ASSERT_NE(start, nullptr);

    std::vector<QWidget*> round{start};
    for (int step = 0; step < 200; ++step) {
        QWidget* before = QApplication::focusWidget();
        const QImage focused = look(before);
        QTest::keyClick(before, Qt::Key_Tab);
        QWidget* after = QApplication::focusWidget();
        ASSERT_NE(after, nullptr);
        ASSERT_NE(after, before) << "Tab does not leave " << whereIs(before, window);
        EXPECT_TRUE(showsFocus(focused, look(before)))
            << "the focus is not visible on " << whereIs(before, window);
        if (after == start)
            break;
        ASSERT_EQ(std::find(round.begin(), round.end(), after), round.end())
            << "Tab goes round without " << whereIs(start, window);
        round.push_back(after);
    }

    for (QWidget* widget : expected) {
        const bool reached = std::find(round.begin(), round.end(), widget) != round.end();
        // Of a group of radio buttons Tab reaches the chosen one; arrows move among them.
        const auto* radio = qobject_cast<QRadioButton*>(widget);
        if (radio && radio->autoExclusive() && !radio->isChecked())
            continue;
        EXPECT_TRUE(reached) << "Tab never reaches " << whereIs(widget, window);
    }

    int stepsBack = 0;
    for (size_t i = 0; i < round.size(); ++i) {
        QWidget* a = round[i];
        QWidget* b = round[(i + 1) % round.size()];
        if (!comesAfter(rectIn(a, window), rectIn(b, window))) {
            ++stepsBack;
            if (round.size() > 2 && stepsBack > 1)
                ADD_FAILURE() << "Tab goes against the layout from " << whereIs(a, window) << " to "
                              << whereIs(b, window);
        }
    }
    if (round.size() > 1) {
        EXPECT_EQ(stepsBack, 1);
    }
}

// A main window started as the program starts it, over temporary folders, with every host
// on the loopback interface; the other windows open from its commands.
class AccessibilityTest : public ::testing::Test {
public:
    void SetUp() override
    {
        m_windowsBefore = QApplication::topLevelWidgets();
        QDir().mkpath(m_root.filePath(QStringLiteral("program")));
        QDir().mkpath(m_root.filePath(QStringLiteral("appdata")));
        AppEnvironment environment;
        environment.programFile = QCoreApplication::applicationFilePath();
        environment.programFolder = m_root.filePath(QStringLiteral("program"));
        environment.appDataBase = m_root.filePath(QStringLiteral("appdata"));
        environment.endpoints = Endpoints::compiledIn();
        environment.endpoints.replicateWeb = QUrl(QStringLiteral("https://replicate.test"));
        environment.endpoints.makerWeb = QUrl(QStringLiteral("http://www.maker.test"));
        environment.endpoints.makerServiceSecure = QUrl(QStringLiteral("https://127.0.0.1:9"));
        environment.endpoints.makerServicePlain = QUrl(QStringLiteral("http://127.0.0.1:9"));
        m_form = std::make_unique<TAppForm>(environment, m_desktop);
        m_form->FormCreate();
        m_form->TimerChecker->stop(); // the update check is tested on its own
        m_form->quitApplication = [] {
        };
    }

    void TearDown() override
    {
        // The windows opened from the main window are its children and go with it.
        m_form.reset();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->parentWidget() && !m_windowsBefore.contains(window))
                delete window;
        }
        ProgramCatalogue() = TextCatalogue();
    }

    // The top-level window that running command opened.
    QWidget* openedBy(const std::function<void()>& command)
    {
        const QWidgetList before = QApplication::topLevelWidgets();
        command();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            const Qt::WindowType type = window->windowType();
            // Menus and a combo box's list are windows too, but no window of the program.
            if (!before.contains(window) &&
                (type == Qt::Window || type == Qt::Dialog || type == Qt::Tool))
                return window;
        }
        return nullptr;
    }

    QTemporaryDir m_root;
    RecordingDesktop m_desktop;
    std::unique_ptr<TAppForm> m_form;
    QWidgetList m_windowsBefore;
};

struct WindowCase {
    const char* name;
    // Opens the window from the main window; the main window itself when it returns it.
    std::function<QWidget*(AccessibilityTest&, TAppForm&)> open;
};

void PrintTo(const WindowCase& windowCase, std::ostream* out)
{
    *out << windowCase.name;
}

class EveryWindow : public AccessibilityTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(EveryWindow, NamesEveryControlAndReachesEveryCommandByKeyboard)
{
    QWidget* window = GetParam().open(*this, *m_form);
    ASSERT_NE(window, nullptr);
    expectEveryControlNamed(window);
    expectMenusReachable(window);
    expectTabChainInReadingOrder(window);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, EveryWindow,
    ::testing::Values(
        WindowCase{"MainWindowWithCredentials",
                   [](AccessibilityTest&, TAppForm& form) -> QWidget* {
                       form.Settings1->trigger(); // the credentials panel joins the round
                       return &form;
                   }},
        WindowCase{"MainWindowAtStart",
                   [](AccessibilityTest&, TAppForm& form) -> QWidget* {
                       return &form;
                   }},
        WindowCase{"About",
                   [](AccessibilityTest& test, TAppForm& form) {
                       return test.openedBy([&] { form.About1->trigger(); });
                   }},
        WindowCase{"Feedback",
                   [](AccessibilityTest& test, TAppForm& form) {
                       return test.openedBy([&] { form.SendFeedback1->trigger(); });
                   }},
        WindowCase{"Language",
                   [](AccessibilityTest& test, TAppForm& form) {
                       return test.openedBy([&] { form.Language1->trigger(); });
                   }},
        WindowCase{"UpdateNotice",
                   [](AccessibilityTest&, TAppForm& form) -> QWidget* {
                       NewVersionInfo info;
                       info.appProduct = QStringLiteral("Parlotext");
                       info.LatestVersion = QStringLiteral("1.4");
                       info.appIcon = AppIcons::program();
                       auto* notice = new TNewVer(info, form.desktop(), &form);
                       // Shown at once and kept, instead of the animated, self-closing way.
                       notice->TimerStart->stop();
                       notice->TimerClose->stop();
                       notice->show();
                       return notice;
                   }}),
    [](const ::testing::TestParamInfo<WindowCase>& info) { return std::string(info.param.name); });

TEST_F(AccessibilityTest, FeedbackChoiceWorksFromTheKeyboardAndTellsScreenReadersWhichIsChosen)
{
    auto* form = qobject_cast<TFeedbackForm*>(openedBy([&] { m_form->SendFeedback1->trigger(); }));
    ASSERT_NE(form, nullptr);
    QAccessibleInterface* like = QAccessible::queryAccessibleInterface(form->Panel4);
    QAccessibleInterface* dislike = QAccessible::queryAccessibleInterface(form->Panel5);
    ASSERT_TRUE(like && dislike);
    EXPECT_EQ(like->role(), QAccessible::RadioButton);
    EXPECT_EQ(like->text(QAccessible::Name), QStringLiteral("I like it!"));
    EXPECT_TRUE(like->state().checkable);
    EXPECT_FALSE(like->state().checked);

    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    form->Panel5->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->Panel5, Qt::Key_Space);
    EXPECT_TRUE(form->Panel5->isChosen());
    EXPECT_TRUE(dislike->state().checked);
    QTest::keyClick(form->Panel4, Qt::Key_A); // other keys choose nothing
    EXPECT_FALSE(form->Panel4->isChosen());

    // A screen reader's press action chooses like a click.
    QAccessibleActionInterface* actions = like->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(form->Panel4->isChosen());
    EXPECT_FALSE(form->Panel5->isChosen());
    EXPECT_TRUE(like->state().checked);
    EXPECT_FALSE(dislike->state().checked);
}

struct LinkCase {
    const char* name;
    std::function<QLabel*(AccessibilityTest&, TAppForm&)> open;
    const char* opens; // the address the link opens
};

void PrintTo(const LinkCase& linkCase, std::ostream* out)
{
    *out << linkCase.name;
}

class EveryLink : public AccessibilityTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(EveryLink, OpensFromTheKeyboardAndForAScreenReader)
{
    QLabel* link = GetParam().open(*this, *m_form);
    ASSERT_NE(link, nullptr);
    QWidget* window = link->window();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(link);
    ASSERT_NE(interface, nullptr);
    EXPECT_EQ(interface->role(), QAccessible::Link);
    EXPECT_FALSE(interface->text(QAccessible::Name).isEmpty());

    link->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(link->hasFocus());
    QTest::keyClick(link, Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    const std::string before = whereIs(QApplication::focusWidget(), window);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(link->hasFocus()) << "Tab from " << before << " does not come back to the link";
    QTest::keyClick(link, Qt::Key_Return);
    ASSERT_EQ(m_desktop.openedUrls.size(), 1);
    EXPECT_EQ(m_desktop.openedUrls.front().toString(), QString::fromUtf8(GetParam().opens));

    // The link may have closed its window; the press action of a fresh one opens it again.
    QLabel* again = GetParam().open(*this, *m_form);
    ASSERT_NE(again, nullptr);
    QAccessibleActionInterface* actions =
        QAccessible::queryAccessibleInterface(again)->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(m_desktop.openedUrls.size(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Links, EveryLink,
    ::testing::Values(LinkCase{"AboutWebAddress",
                               [](AccessibilityTest& test, TAppForm& form) -> QLabel* {
                                   auto* box = qobject_cast<TAboutBox*>(
                                       test.openedBy([&] { form.About1->trigger(); }));
                                   return box ? box->Label5 : nullptr;
                               },
                               "http://www.maker.test/"},
                      LinkCase{"TranslationPage",
                               [](AccessibilityTest& test, TAppForm& form) -> QLabel* {
                                   auto* window = qobject_cast<TTranslateForm*>(
                                       test.openedBy([&] { form.Language1->trigger(); }));
                                   return window ? window->Label3 : nullptr;
                               },
                               "https://www.maker.test/translation/"},
                      LinkCase{"NoticeDownload",
                               [](AccessibilityTest&, TAppForm& form) -> QLabel* {
                                   NewVersionInfo info;
                                   info.appProduct = QStringLiteral("Parlotext");
                                   info.LatestVersion = QStringLiteral("1.4");
                                   info.DownloadURL =
                                       QStringLiteral("https://download.maker.test/parlotext");
                                   auto* notice = new TNewVer(info, form.desktop(), &form);
                                   notice->TimerStart->stop();
                                   notice->TimerClose->stop();
                                   notice->show();
                                   return notice->Label2;
                               },
                               "https://download.maker.test/parlotext"}),
    [](const ::testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

TEST_F(AccessibilityTest, TranslatedWindowsAreReadInTheirLanguage)
{
    ProgramCatalogue().LoadLanguage(QStringLiteral(PARLOTEXT_SOURCE_DIR), 1031, QString());
    ASSERT_EQ(ProgramCatalogue().LanguageName, QStringLiteral("German"));
    auto* form = qobject_cast<TFeedbackForm*>(openedBy([&] { m_form->SendFeedback1->trigger(); }));
    ASSERT_NE(form, nullptr);
    // Names come from the translated captions, descriptions from the catalogue.
    EXPECT_EQ(accessibleText(form->Memo1, QAccessible::Name),
              QStringLiteral("Was hat Ihnen gefallen, was nicht?"));
    EXPECT_EQ(accessibleText(form->Edit1, QAccessible::Name),
              QStringLiteral("Meine E-Mail-Adresse mitsenden"));
    EXPECT_EQ(accessibleText(form->Panel4, QAccessible::Name), QStringLiteral("Gefällt mir!"));
    EXPECT_EQ(
        accessibleText(form->Edit1, QAccessible::Description),
        ProgramCatalogue().TranslateText(QStringLiteral("Optional: the address we may answer")));
    EXPECT_NE(accessibleText(form->Edit1, QAccessible::Description),
              QStringLiteral("Optional: the address we may answer"));
}

TEST_F(AccessibilityTest, MainWindowFieldsAreReadWithTheirLabels)
{
    EXPECT_EQ(accessibleText(m_form->Edit3, QAccessible::Name), QStringLiteral("Audio File URL"));
    EXPECT_EQ(accessibleText(m_form->Edit1, QAccessible::Name),
              QStringLiteral("Replicate API Key"));
    EXPECT_EQ(m_form->Label2->buddy(), m_form->Edit3);
    EXPECT_EQ(m_form->Label4->buddy(), m_form->Edit1);
    // The status panels keep no fixed name: a screen reader reads their changing text.
    m_form->setStatusPanelText(0, QStringLiteral("Processing..."));
    QLabel* panel = nullptr;
    for (QLabel* label : m_form->StatusBar1->findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("Processing..."))
            panel = label;
    }
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(accessibleText(panel, QAccessible::Name), QStringLiteral("Processing..."));
}

struct LabelNameCase {
    const char* label;
    const char* name;
};

class LabelNames : public ::testing::TestWithParam<LabelNameCase> {};

TEST_P(LabelNames, DropMnemonicsAndTheClosingColon)
{
    EXPECT_EQ(NameFromLabelText(QString::fromUtf8(GetParam().label)),
              QString::fromUtf8(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Labels, LabelNames,
                         ::testing::Values(LabelNameCase{"Audio File URL:", "Audio File URL"},
                                           LabelNameCase{"Traduit par\u00a0:", "Traduit par"},
                                           LabelNameCase{"&Name:", "Name"},
                                           LabelNameCase{"Save && Exit", "Save & Exit"},
                                           LabelNameCase{"What did you like or dislike?",
                                                         "What did you like or dislike?"},
                                           LabelNameCase{"::", ""}));

} // namespace
