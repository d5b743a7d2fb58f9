// The language window, headless, opened from the main window as the program opens it.
#include "language/widgets/translateform.h"

#include "app/appform.h"
#include "language/textcatalogue.h"
#include "language/widgets/languagepictures.h"
#include "platform/inifile.h"
#include "support/plaintextlabels.h"
#include "support/recordingdesktop.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList itemTexts(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// A program folder with four language files; LanguageCodes.csv picks German for 1031 and
// French for 1036, nothing for 1033.
class LanguageWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(languages());
        QDir().mkpath(m_root.filePath(QStringLiteral("appdata")));
        writeFile(languages() + QStringLiteral("/German.lang.txt"),
                  "\xEF\xBB\xBF; German texts\r\n"
                  "{INFO:Translated By}Anna Schmidt, J\xC3\xB6rg Weber,\r\n"
                  "{Language}Sprache\r\n"
                  "{Restart Application?}Anwendung neu starten?\r\n"
                  "{Confirmation}Best\xC3\xA4tigung\r\n"
                  "{Yes}Ja\r\n{No}Nein\r\n");
        writeFile(languages() + QStringLiteral("/French.lang.txt"), "{Yes}Oui\n");
        writeFile(languages() + QStringLiteral("/Klingon.lang.txt"), "{INFO:Translated By}Worf\n");
        writeFile(languages() + QStringLiteral("/dutch.lang.txt"), "{Yes}Ja\n");
        writeFile(languages() + QStringLiteral("/LanguageCodes.csv"),
                  "1031,German.lang.txt\n1036,French.lang.txt\n");
    }

    void TearDown() override
    {
        if (m_form)
            m_form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString programFolder() const { return m_root.filePath(QStringLiteral("program")); }
    QString languages() const { return programFolder() + QStringLiteral("/Languages"); }
    QString savedChoice() const
    {
        return IniFile(programFolder() + QStringLiteral("/settings.ini"))
            .readString(QStringLiteral("Settings"), QStringLiteral("Language"))
            .value_or(QStringLiteral("<none>"));
    }

    // Starts the main window the way the program does; ends any earlier one first.
    TAppForm& start(quint16 userLanguageId)
    {
        m_form.reset();
        AppEnvironment environment;
        environment.programFile = QCoreApplication::applicationFilePath();
        environment.programFolder = programFolder();
        environment.appDataBase = m_root.filePath(QStringLiteral("appdata"));
        environment.userLanguageId = userLanguageId;
        environment.endpoints = Endpoints::compiledIn();
        environment.endpoints.makerWeb = QUrl(QStringLiteral("http://www.maker.test"));
        environment.endpoints.makerServiceSecure = QUrl(QStringLiteral("https://127.0.0.1:9"));
        environment.endpoints.makerServicePlain = QUrl(QStringLiteral("http://127.0.0.1:9"));
        m_form = std::make_unique<TAppForm>(environment, m_desktop);
        m_form->FormCreate();
        m_form->TimerChecker->stop();
        m_form->quitApplication = [this] {
            ++m_quits;
        };
        return *m_form;
    }

    TTranslateForm& open()
    {
        m_form->Language1->trigger();
        TTranslateForm* window = m_form->TranslateForm();
        EXPECT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
        return *window;
    }

    static void choose(TTranslateForm& window, const QString& language)
    {
        const int index = window.ComboBox1->findText(language);
        ASSERT_GE(index, 0) << language.toStdString();
        window.ComboBox1->setCurrentIndex(index);
    }

    QTemporaryDir m_root;
    RecordingDesktop m_desktop;
    std::unique_ptr<TAppForm> m_form;
    int m_quits = 0;
};

TEST_F(LanguageWindowTest, ListsTheFilesSortedWithEnglishAndSelectsTheLoadedLanguage)
{
    start(1031);
    TTranslateForm& window = open();
    EXPECT_EQ(itemTexts(window.ComboBox1),
              (QStringList{"dutch", "English", "French", "German", "Klingon"}));
    EXPECT_EQ(window.ComboBox1->currentText(), QStringLiteral("German"));
    EXPECT_EQ(OpeningLanguage(), QStringLiteral("German"));
    // Captions pass through the loaded catalogue.
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Sprache"));
    EXPECT_EQ(window.Label1->text(), QStringLiteral("User Interface Language:"));
    EXPECT_EQ(window.size(), QSize(622, 227));
    // Two names, a space after the comma, one more comma at the end: exactly two lines.
    EXPECT_EQ(window.RichEdit1->toPlainText(), QString::fromUtf8("Anna Schmidt\nJörg Weber"));
    EXPECT_EQ(window.RichEdit1->document()->blockCount(), 2);
}

TEST_F(LanguageWindowTest, WithNoLanguageLoadedEnglishIsSelectedWithItsOwnTranslator)
{
    start(1033);
    TTranslateForm& window = open();
    EXPECT_EQ(window.ComboBox1->currentText(), QStringLiteral("English"));
    EXPECT_EQ(window.RichEdit1->toPlainText(), QStringLiteral("Quillon"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Language"));
    EXPECT_TRUE(window.RichEdit1->isReadOnly());
}

TEST_F(LanguageWindowTest, TheTranslatorBoxFollowsTheSelection)
{
    start(1031);
    TTranslateForm& window = open();
    // A readable file without the translator line shows the key itself.
    choose(window, QStringLiteral("French"));
    EXPECT_EQ(window.RichEdit1->toPlainText(), QStringLiteral("INFO:Translated By"));
    choose(window, QStringLiteral("English"));
    EXPECT_EQ(window.RichEdit1->toPlainText(), QStringLiteral("Quillon"));
    choose(window, QStringLiteral("Klingon"));
    EXPECT_EQ(window.RichEdit1->toPlainText(), QStringLiteral("Worf"));
    // A file gone since start-up leaves the box empty.
    ASSERT_TRUE(QFile::remove(languages() + QStringLiteral("/French.lang.txt")));
    choose(window, QStringLiteral("French"));
    EXPECT_EQ(window.RichEdit1->toPlainText(), QString());
}

TEST_F(LanguageWindowTest, ItemsAreDrawnWithTheirFlagsAndOthersWithTheBlankOne)
{
    start(1033);
    TTranslateForm& window = open();
    const std::pair<const char*, int> expected[] = {{"English", LanguagePictures::EnglishFlag},
                                                    {"German", 2},
                                                    {"French", 3},
                                                    {"Klingon", LanguagePictures::BlankFlag},
                                                    {"dutch", LanguagePictures::BlankFlag}};
    QAbstractItemView* view = window.ComboBox1->view();
    for (const auto& [name, picture] : expected) {
        const int row = window.ComboBox1->findText(QString::fromLatin1(name));
        ASSERT_GE(row, 0);
        EXPECT_EQ(window.ComboBox1->itemData(row, TTranslateForm::PictureRole).toInt(), picture)
            << name;

        // What the list's painter puts at the item's top left is that picture.
        const QModelIndex index = view->model()->index(row, 0);
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.rect = QRect(0, 0, 200, 18);
        option.state &= ~QStyle::State_Selected;
        QImage canvas(200, 18, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::white);
        {
            QPainter painter(&canvas);
            view->itemDelegate()->paint(&painter, option, index);
        }
        QImage flag(16, 16, QImage::Format_ARGB32_Premultiplied);
        flag.fill(window.ComboBox1->view()->palette().base().color());
        {
            QPainter painter(&flag);
            painter.drawPixmap(0, 0, LanguagePictures::picture(picture));
        }
        EXPECT_EQ(canvas.copy(0, 0, 16, 16), flag) << name;
        EXPECT_EQ(view->itemDelegate()->sizeHint(option, index).height(), 18);
    }
    // Distinct pictures, so that the comparison above tells flags apart.
    EXPECT_NE(LanguagePictures::picture(0).toImage(), LanguagePictures::picture(2).toImage());
    EXPECT_NE(LanguagePictures::picture(2).toImage(), LanguagePictures::picture(3).toImage());
}

TEST_F(LanguageWindowTest, OkWithTheOpeningLanguageClosesWithoutAQuestion)
{
    start(1031);
    QPointer<TTranslateForm> window = &open();
    QTest::mouseClick(window->Button1, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()); // freed when closed
    EXPECT_EQ(m_form->TranslateForm(), nullptr);
    EXPECT_TRUE(m_desktop.questions.isEmpty());
    EXPECT_EQ(m_quits, 0);
    EXPECT_TRUE(m_desktop.startedPrograms.isEmpty());
}

TEST_F(LanguageWindowTest, AnsweringNoKeepsTheWindowOpenWithTheNewSelection)
{
    start(1031);
    TTranslateForm& window = open();
    choose(window, QStringLiteral("French"));
    m_desktop.questionAnswers = {false};
    QTest::mouseClick(window.Button1, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ASSERT_EQ(m_desktop.questions.size(), 1);
    // The question speaks the loaded language.
    EXPECT_EQ(m_desktop.questions[0].title, QString::fromUtf8("Bestätigung"));
    EXPECT_EQ(m_desktop.questions[0].text, QStringLiteral("Anwendung neu starten?"));
    EXPECT_EQ(m_desktop.questions[0].yesText, QStringLiteral("Ja"));
    EXPECT_EQ(m_desktop.questions[0].noText, QStringLiteral("Nein"));
    ASSERT_EQ(m_form->TranslateForm(), &window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.ComboBox1->currentText(), QStringLiteral("French"));
    EXPECT_EQ(m_quits, 0);
    EXPECT_TRUE(m_desktop.startedPrograms.isEmpty());
    EXPECT_FALSE(QFile::exists(m_form->DataFolder() + QStringLiteral("start.sh")));
    EXPECT_EQ(savedChoice(), QStringLiteral("<none>"));
}

TEST_F(LanguageWindowTest, YesWritesTheScriptRunsItAndEndsTheProgram)
{
    start(1033);
    TTranslateForm& window = open();
    choose(window, QStringLiteral("German"));
    m_desktop.questionAnswers = {true};
    QTest::mouseClick(window.Button1, Qt::LeftButton);

    ASSERT_EQ(m_desktop.questions.size(), 1);
    EXPECT_EQ(m_desktop.questions[0].title, QStringLiteral("Confirmation"));
    EXPECT_EQ(m_desktop.questions[0].text, QStringLiteral("Restart Application?"));
    EXPECT_EQ(m_desktop.questions[0].yesText, QStringLiteral("Yes"));
    EXPECT_EQ(m_desktop.questions[0].noText, QStringLiteral("No"));

    EXPECT_EQ(savedChoice(), QStringLiteral("German.lang.txt"));
    const QString script = m_form->DataFolder() + QStringLiteral("start.sh");
    const QString program = QCoreApplication::applicationFilePath();
    QString quoted = program;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    EXPECT_EQ(QString::fromLocal8Bit(readFile(script)),
              QStringLiteral("#!/bin/sh\n"
                             "echo 'This file was created automatically to restart the program.'\n"
                             "echo 'It is safe to delete this file.'\n"
                             "sleep 1\n") +
                  QLatin1Char('\'') + quoted + QStringLiteral("'\n"));

    ASSERT_EQ(m_desktop.startedPrograms.size(), 1);
    EXPECT_EQ(m_desktop.startedPrograms[0].program, QStringLiteral("/bin/sh"));
    EXPECT_EQ(m_desktop.startedPrograms[0].arguments, QStringList{script});
    EXPECT_EQ(m_desktop.startedPrograms[0].workingFolder, m_form->DataFolder());
    EXPECT_EQ(m_quits, 1);
}

TEST_F(LanguageWindowTest, AScriptThatCannotBeWrittenKeepsTheOldChoiceAndSaysSo)
{
    start(1033);
    TTranslateForm& window = open();
    // A folder where the script should go: no one can write the script there.
    ASSERT_TRUE(QDir(m_form->DataFolder()).mkdir(QStringLiteral("start.sh")));
    choose(window, QStringLiteral("German"));
    m_desktop.questionAnswers = {true};
    QTest::mouseClick(window.Button1, Qt::LeftButton);

    EXPECT_EQ(savedChoice(), QStringLiteral("<none>"));
    ASSERT_EQ(m_desktop.messages.size(), 1);
    EXPECT_EQ(m_desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(m_desktop.messages[0].text.contains(QStringLiteral("start.sh")))
        << m_desktop.messages[0].text.toStdString();
    EXPECT_EQ(m_quits, 0);
    EXPECT_TRUE(m_desktop.startedPrograms.isEmpty());
    // The window stays, so the user may try again or close it.
    EXPECT_EQ(m_form->TranslateForm(), &window);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(LanguageWindowTest, AChoiceThatCannotBeSavedRestartsNothing)
{
    start(1033);
    TTranslateForm& window = open();
    // settings.ini is a folder: the choice cannot be kept for the next start.
    ASSERT_TRUE(QDir(programFolder()).mkdir(QStringLiteral("settings.ini")));
    choose(window, QStringLiteral("German"));
    m_desktop.questionAnswers = {true};
    QTest::mouseClick(window.Button1, Qt::LeftButton);

    ASSERT_EQ(m_desktop.messages.size(), 1);
    EXPECT_EQ(m_desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(m_quits, 0);
    EXPECT_TRUE(m_desktop.startedPrograms.isEmpty());
}

TEST_F(LanguageWindowTest, TheChosenLanguageIsLoadedByTheNextStart)
{
    // The automatic choice for 1036 is French; the user picks German.
    start(1036);
    EXPECT_EQ(ProgramCatalogue().LanguageName, QStringLiteral("French"));
    TTranslateForm& first = open();
    choose(first, QStringLiteral("German"));
    m_desktop.questionAnswers = {true};
    QTest::mouseClick(first.Button1, Qt::LeftButton);
    ASSERT_EQ(m_quits, 1);

    start(1036);
    EXPECT_EQ(ProgramCatalogue().LanguageName, QStringLiteral("German"));
    EXPECT_EQ(TranslateText(QStringLiteral("Yes")), QStringLiteral("Ja"));
    TTranslateForm& second = open();
    EXPECT_EQ(second.ComboBox1->currentText(), QStringLiteral("German"));

    // Back to English: the built-in texts, although the automatic choice says French.
    choose(second, QStringLiteral("English"));
    m_desktop.questionAnswers = {true};
    QTest::mouseClick(second.Button1, Qt::LeftButton);
    EXPECT_EQ(savedChoice(), QStringLiteral("English.lang.txt"));
    start(1036);
    EXPECT_EQ(ProgramCatalogue().LanguageName, QString());
    EXPECT_EQ(TranslateText(QStringLiteral("Yes")), QStringLiteral("Yes"));
    EXPECT_EQ(open().ComboBox1->currentText(), QStringLiteral("English"));

    // A chosen file that has gone since: the automatic choice again.
    IniFile(programFolder() + QStringLiteral("/settings.ini"))
        .writeString(QStringLiteral("Settings"), QStringLiteral("Language"),
                     QStringLiteral("Polish.lang.txt"));
    start(1036);
    EXPECT_EQ(ProgramCatalogue().LanguageName, QStringLiteral("French"));
}

TEST_F(LanguageWindowTest, EscapeClosesTheWindowFromEachOfItsControls)
{
    start(1033);
    for (int control = 0; control < 3; ++control) {
        QPointer<TTranslateForm> window = &open();
        QWidget* target = control == 0   ? static_cast<QWidget*>(window->ComboBox1)
                          : control == 1 ? static_cast<QWidget*>(window->RichEdit1)
                                         : static_cast<QWidget*>(window->Button1);
        QTest::keyClick(target, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(window.isNull()) << control;
    }
    EXPECT_TRUE(m_desktop.questions.isEmpty());
}

TEST_F(LanguageWindowTest, TheLinkOpensTheTranslationPageOnlyOnAClickOnIt)
{
    start(1033);
    TTranslateForm& window = open();
    QLabel* link = window.Label3;
    EXPECT_EQ(link->text(), QStringLiteral("Contribute to Translation"));
    EXPECT_EQ(link->toolTip(), QStringLiteral("https://www.maker.test/translation/"));
    const QPoint inside = link->rect().center();
    const QPoint outside(link->width() + 40, inside.y());

    // Pressed on the link, released beside it: no click.
    QTest::mousePress(link, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(link, Qt::LeftButton, {}, outside);
    // Pressed elsewhere, released on the link: no click.
    QTest::mousePress(window.Panel1, Qt::LeftButton, {}, QPoint(300, 5));
    QTest::mouseRelease(link, Qt::LeftButton, {}, inside);
    // Other buttons do not click.
    QTest::mouseClick(link, Qt::RightButton, {}, inside);
    QTest::mouseClick(link, Qt::MiddleButton, {}, inside);
    EXPECT_TRUE(m_desktop.openedUrls.isEmpty());

    QTest::mouseClick(link, Qt::LeftButton, {}, inside);
    ASSERT_EQ(m_desktop.openedUrls.size(), 1);
    EXPECT_EQ(m_desktop.openedUrls[0], QUrl(QStringLiteral("https://www.maker.test/translation/")));
}

TEST_F(LanguageWindowTest, CaptionsFromALanguageFileAreShownAsTheyAre)
{
    writeFile(languages() + QStringLiteral("/German.lang.txt"),
              "{User Interface Language:}<b>Sprache</b>\n{Translated by:}<i>von\n");
    start(1031);
    TTranslateForm& window = open();
    EXPECT_EQ(window.Label1->text(), QStringLiteral("<b>Sprache</b>"));
    EXPECT_EQ(LabelsThatReadMarkup(window), QStringList());
}

TEST_F(LanguageWindowTest, ALanguageFileWithoutANameGivesNoRow)
{
    writeFile(languages() + QStringLiteral("/.lang.txt"), "{Yes}?\n");
    start(1033);
    TTranslateForm& window = open();
    EXPECT_EQ(window.ComboBox1->findText(QString(), Qt::MatchExactly), -1);
    EXPECT_EQ(itemTexts(window.ComboBox1),
              (QStringList{"dutch", "English", "French", "German", "Klingon"}));
}

TEST_F(LanguageWindowTest, SelectAllAndCopyPutTheTranslatorsOnTheClipboard)
{
    start(1031);
    TTranslateForm& window = open();
    EXPECT_EQ(window.Copy1->text(), QStringLiteral("Copy"));
    EXPECT_EQ(window.SelectAll1->text(), QStringLiteral("Select All"));
    QApplication::clipboard()->setText(QStringLiteral("before"));
    window.SelectAll1->trigger();
    EXPECT_EQ(window.RichEdit1->textCursor().selectedText(),
              QString::fromUtf8("Anna Schmidt\u2029Jörg Weber"));
    window.Copy1->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("Anna Schmidt\nJörg Weber"));
}

} // namespace
