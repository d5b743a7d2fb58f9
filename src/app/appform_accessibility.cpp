// The main window as screen readers and keyboard users meet it: names and descriptions of
// its controls, keyboard paths to its commands, and a Tab chain in reading order.
#include "app/appform.h"

#include "platform/accessiblelabel.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

void TAppForm::setUpAccessibility()
{
    // The window's captions are fixed English texts, and so are the names that go with them.
    // Screen readers read a toolbar by its title.
    ToolBar1->setWindowTitle(QStringLiteral("Toolbar"));
    ToolBar1->setAccessibleName(QStringLiteral("Toolbar"));
    ToolButtonConvert->setAccessibleDescription(
        QStringLiteral("Converts the audio file at the address into subtitles"));
    ToolButton6->setAccessibleDescription(QStringLiteral("Stops the running conversion"));
    ToolButton1->setAccessibleDescription(
        QStringLiteral("Loads a local audio or video file into the address field"));
    ToolButton2->setAccessibleDescription(QStringLiteral("Saves the result pane as a text file"));
    ToolButton3->setAccessibleDescription(
        QStringLiteral("Shows or hides the Replicate credentials"));
    ToolButton4->setAccessibleDescription(QStringLiteral("Records from the microphone"));

    // The usual keys of saving and quitting, beside the menu path.
    Save1->setShortcut(QKeySequence::Save);
    Exit1->setShortcut(QKeySequence::Quit);

    PageControl2->setAccessibleName(QStringLiteral("Work pages"));
    PageControl2->tabBar()->setAccessibleName(QStringLiteral("Work pages"));
    LabelControl(Label2, Edit3);
    Edit3->setAccessibleDescription(QStringLiteral("The web address of the audio file to convert"));
    Button5->setAccessibleDescription(
        QStringLiteral("Chooses a local audio or video file for the address field"));
    Panel4->setAccessibleName(NameFromLabelText(Label1->text()));
    Label1->setBuddy(RadioButton1);
    RadioButton1->setAccessibleDescription(QStringLiteral("Subtitles in the WebVTT format"));
    RadioButton2->setAccessibleDescription(QStringLiteral("Subtitles in the SubRip format"));

    Panel7->setAccessibleName(Label3->text());
    PageControl1->setAccessibleName(Label3->text());
    PageControl1->tabBar()->setAccessibleName(Label3->text());
    Button4->setAccessibleDescription(
        QStringLiteral("Opens the Replicate page where you create an API key"));
    LabelControl(Label4, Edit1);
    Edit1->setAccessibleDescription(QStringLiteral("Saved as you type"));

    MemoReplicate->setAccessibleName(QStringLiteral("Result"));
    MemoReplicate->setAccessibleDescription(
        QStringLiteral("The subtitles, or the service's answer when a conversion fails; "
                       "editable, and saved with Save File"));
    MemoCMD->setAccessibleName(QStringLiteral("Console output"));
    // Subtitles hold no tab characters: Tab leaves the panes instead of trapping the keyboard.
    MemoReplicate->setTabChangesFocus(true);
    MemoCMD->setTabChangesFocus(true);

    // The panels keep no name of their own, so that a screen reader reads each new state.
    StatusBar1->setAccessibleName(QStringLiteral("Status"));
    m_statusPanels[0]->setAccessibleDescription(QStringLiteral("State of the conversion"));
    m_statusPanels[1]->setAccessibleDescription(QStringLiteral("Time the conversion has taken"));
}
