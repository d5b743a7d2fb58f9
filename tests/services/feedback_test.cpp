// The feedback window, headless, against the fake service; and the e-mail pattern.
#include "services/widgets/feedback.h"

#include "app/appform.h"
#include "services/feedbackrules.h"
#include "servicetestsupport.h"
#include "support/plaintextlabels.h"
#include "support/recordingdesktop.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using Behaviour = FakeMakerService::Behaviour;

// ---- the e-mail pattern ----

struct EmailCase {
    const char* address;
    bool accepted;
};

void PrintTo(const EmailCase& c, std::ostream* os)
{
    *os << "\"" << c.address << "\" " << (c.accepted ? "accepted" : "refused");
}

class EmailPatternTest : public ::testing::TestWithParam<EmailCase> {};

TEST_P(EmailPatternTest, AcceptsOnlyWholeAddressesOfThePattern)
{
    EXPECT_EQ(IsValidEmailAddress(QString::fromUtf8(GetParam().address)), GetParam().accepted)
        << "\"" << GetParam().address << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, EmailPatternTest,
    ::testing::Values(EmailCase{"me@example.com", true},
                      EmailCase{"first.last+tag@mail.example.co.uk", true},
                      EmailCase{"a_b-c@x-y.io", true}, EmailCase{"1@2.3", true},
                      EmailCase{"me@a.b-c", true}, EmailCase{"me@example.c0m", true},
                      EmailCase{"me@example", false},      // no dot after "@"
                      EmailCase{"me@example.com-", false}, // ends in "-"
                      EmailCase{"me@example.com.", false}, // ends in "."
                      EmailCase{" me@example.com", false}, // the window trims first
                      EmailCase{"me@example.com ", false}, EmailCase{"me@@example.com", false},
                      EmailCase{"@example.com", false}, EmailCase{"me@.example.com", false},
                      EmailCase{"me@exa_mple.com", false},
                      EmailCase{"mé@example.com", false}, // only ASCII letters
                      EmailCase{"me@ex ample.com", false}, EmailCase{"Me@Example.COM", true},
                      EmailCase{"", false}));

TEST(FeedbackRules, TheEnglishWordsComeFirstAndOneCarriageReturnFollows)
{
    EXPECT_EQ(ChoiceLine(QStringLiteral("I like it!"), QStringLiteral("I like it!")),
              QStringLiteral("I like it!"));
    EXPECT_EQ(ChoiceLine(QStringLiteral("I like it!"), QStringLiteral("Gefällt mir!")),
              QStringLiteral("I like it! (Gefällt mir!)"));
    EXPECT_EQ(ComposeFeedbackText(true, QStringLiteral("L"), false, QStringLiteral("D"),
                                  QStringLiteral("text")),
              QStringLiteral("L\rtext"));
    EXPECT_EQ(ComposeFeedbackText(false, QStringLiteral("L"), true, QStringLiteral("D"),
                                  QStringLiteral("text")),
              QStringLiteral("D\rtext"));
    EXPECT_EQ(ComposeFeedbackText(false, QStringLiteral("L"), false, QStringLiteral("D"),
                                  QStringLiteral("text")),
              QStringLiteral("text"));
    EXPECT_TRUE(IsFeedbackAccepted(QStringLiteral("OK\r\n")));
    EXPECT_TRUE(IsFeedbackAccepted(QStringLiteral(" OK")));
    EXPECT_FALSE(IsFeedbackAccepted(QStringLiteral("ok")));
    EXPECT_FALSE(IsFeedbackAccepted(QStringLiteral("OK, thanks")));
    EXPECT_FALSE(IsFeedbackAccepted(QString()));
}

// ---- the window ----

class FeedbackWindowTest : public ::testing::Test {
protected:
    TFeedbackForm* open()
    {
        service.start();
        const AppIdentity identity{QStringLiteral("QUILLON"), QStringLiteral("Parlotext"),
                                   QStringLiteral("QUILLON - Parlotext"), QStringLiteral("1.3")};
        form = new TFeedbackForm(identity, EndpointsFor(service), desktop);
        form->timeoutMs = 400;
        form->show();
        return form;
    }

    // Presses "Send" and waits until the window has dealt with the answer.
    void send()
    {
        QSignalSpy finished(form.data(), &TFeedbackForm::sendFinished);
        QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
        ASSERT_TRUE(form->isSending());
        ASSERT_TRUE(finished.wait(10000));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void TearDown() override { delete form.data(); }

    RecordingDesktop desktop;
    FakeMakerService service;
    QPointer<TFeedbackForm> form;
};

TEST_F(FeedbackWindowTest, IsLaidOutWithItsCaptions)
{
    open();
    EXPECT_EQ(form->size(), QSize(525, 326));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Parlotext feedback"));
    EXPECT_EQ(form->Panel4->caption(), QStringLiteral("I like it!"));
    EXPECT_EQ(form->Panel5->caption(), QStringLiteral("I dislike it!"));
    EXPECT_EQ(form->Label1->text(), QStringLiteral("We would really appreciate your feedback."));
    EXPECT_EQ(form->Label2->text(), QStringLiteral("What did you like or dislike?"));
    EXPECT_EQ(form->Label3->text(), QStringLiteral("Include my e-mail:"));
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("Send"));
    EXPECT_EQ(form->Edit1->maxLength(), 100);
    EXPECT_EQ(form->Panel3->height(), 46);
    EXPECT_EQ(form->Panel1->height(), 30);
    EXPECT_EQ(form->Panel2->height(), 39);
    EXPECT_EQ(form->BitBtn1->size(), QSize(172, 33));
    EXPECT_FALSE(form->Panel4->isChosen());
    EXPECT_FALSE(form->Panel5->isChosen());
    QApplication::setActiveWindow(form);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form->Memo1));
}

TEST_F(FeedbackWindowTest, AChoiceCanBeSwitchedButNotCleared)
{
    open();
    QTest::mouseClick(form->Panel4, Qt::LeftButton);
    EXPECT_TRUE(form->Panel4->isChosen());
    EXPECT_FALSE(form->Panel5->isChosen());
    EXPECT_EQ(form->Panel4->palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::Highlight));
    EXPECT_EQ(form->Panel4->frameShadow(), QFrame::Sunken);
    QTest::mouseClick(form->Image2, Qt::LeftButton); // the face counts as its panel
    EXPECT_FALSE(form->Panel4->isChosen());
    EXPECT_TRUE(form->Panel5->isChosen());
    EXPECT_EQ(form->Panel4->frameShadow(), QFrame::Raised);
    QTest::mouseClick(form->Panel5, Qt::LeftButton);
    EXPECT_TRUE(form->Panel5->isChosen());
}

TEST_F(FeedbackWindowTest, NoLabelLaysOutMarkup)
{
    open();
    form->Panel4->setCaption(QStringLiteral("<b>I like it!</b>"));
    EXPECT_EQ(LabelsThatReadMarkup(*form), QStringList());
}

TEST_F(FeedbackWindowTest, OnlyALeftClickOnAPanelChoosesIt)
{
    open();
    const QPoint middle = form->Panel4->rect().center();
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton, Qt::BackButton}) {
        QTest::mouseClick(form->Panel4, button, {}, middle);
        EXPECT_FALSE(form->Panel4->isChosen()) << int(button);
    }
    // A press that leaves the panel before its release chooses nothing.
    QTest::mousePress(form->Panel4, Qt::LeftButton, {}, middle);
    EXPECT_FALSE(form->Panel4->isChosen());
    QTest::mouseRelease(form->Panel4, Qt::LeftButton, {},
                        QPoint(form->Panel4->width() + 20, middle.y()));
    EXPECT_FALSE(form->Panel4->isChosen());
    EXPECT_FALSE(form->Panel5->isChosen());

    QTest::mouseClick(form->Panel4, Qt::LeftButton, {}, middle);
    EXPECT_TRUE(form->Panel4->isChosen());
}

TEST_F(FeedbackWindowTest, EmptyTextBeepsAndSendsNothing)
{
    open();
    form->Image1Click();
    form->Memo1->setPlainText(QStringLiteral("  \n\t \n "));
    QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
    EXPECT_EQ(desktop.beeps, 1);
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_FALSE(form->isSending());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(service.posts().empty());
}

TEST_F(FeedbackWindowTest, ARefusedAddressIsReportedAndNothingIsSent)
{
    open();
    form->Memo1->setPlainText(QStringLiteral("Nice"));
    form->Edit1->setText(QStringLiteral("me@example"));
    QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("Failure"));
    EXPECT_EQ(desktop.messages[0].text, QStringLiteral("Invalid e-mail address!"));
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(desktop.beeps, 0);
    EXPECT_FALSE(form->isSending());
    EXPECT_TRUE(service.posts().empty());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(FeedbackWindowTest, SendsTheFieldsInOrderAndClosesOnOk)
{
    service.feedbackReply = "OK\r\n";
    open();
    QTest::mouseClick(form->Panel4, Qt::LeftButton);
    form->Memo1->setPlainText(QStringLiteral("  Great tool & fast = good\nGrüße  \n"));
    form->Edit1->setText(QStringLiteral("  me+news@example.com "));
    send();

    const auto posts = service.posts("/php/feedback.php");
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_TRUE(posts[0].secure);
    const FakeMakerService::Fields expected = {
        {"cmd", "feedback"},
        {"appname", "QUILLON - Parlotext"},
        {"version", "1.3"},
        {"feedback", "I like it!\rGreat tool & fast = good\r\nGrüße"},
        {"email", "me+news@example.com"},
    };
    EXPECT_EQ(posts[0].fields, expected);
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("Success"));
    EXPECT_EQ(desktop.messages[0].text, QStringLiteral("Your feedback is received.\r\rThank you!"));
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(form.isNull()); // closed and gone
}

TEST_F(FeedbackWindowTest, WithoutAnAddressThereIsNoEmailLineAndATranslatedCaptionFollowsTheEnglish)
{
    open();
    form->Panel5->setCaption(QStringLiteral("Ça ne me plaît pas"));
    form->Image2Click();
    form->Memo1->setPlainText(QStringLiteral("Too slow"));
    form->Edit1->setText(QStringLiteral("   "));
    send();
    const auto posts = service.posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_FALSE(posts[0].hasField("email"));
    EXPECT_EQ(posts[0].field("feedback"), "I dislike it! (Ça ne me plaît pas)\rToo slow");
}

TEST_F(FeedbackWindowTest, ALowerCaseOkIsAFailureAndTheWindowKeepsTheText)
{
    service.feedbackReply = "ok";
    open();
    form->Image1Click();
    form->Memo1->setPlainText(QStringLiteral("Keep this"));
    form->Edit1->setText(QStringLiteral("me@example.com"));
    send();
    ASSERT_FALSE(form.isNull());
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isSending());
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("Keep this"));
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("me@example.com"));
    EXPECT_TRUE(form->Panel4->isChosen());
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("Failure"));
    EXPECT_EQ(desktop.messages[0].text,
              QStringLiteral("Something went wrong. Your feedback could not be delivered.\r\r"
                             "Please try again later."));
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(service.posts().size(), 1u); // an answer, so no plain attempt
}

TEST_F(FeedbackWindowTest, ThePlainAttemptDeliversWhenTheSecureOneFails)
{
    service.secureBehaviour = Behaviour::TlsFailure;
    open();
    form->Memo1->setPlainText(QStringLiteral("Hello"));
    send();
    const auto posts = service.posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_FALSE(posts[0].secure);
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("Success"));
}

TEST_F(FeedbackWindowTest, WhileSendingTheWindowTakesNoInputAndBothFailuresAreReported)
{
    service.secureBehaviour = Behaviour::TimeOut;
    service.plainBehaviour = Behaviour::HttpError;
    open();
    form->Memo1->setPlainText(QStringLiteral("Hello"));
    QSignalSpy finished(form.data(), &TFeedbackForm::sendFinished);
    QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(form->isSending());
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    QTest::keyClick(form->Memo1, Qt::Key_Escape);
    QTest::keyClicks(form->Memo1, QStringLiteral("xyz"));
    QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
    form->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("Hello"));
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toBool(), false);
    EXPECT_EQ(service.posts().size(), 2u); // one secure, one plain
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("Failure"));
    EXPECT_TRUE(form->isVisible());
}

class FeedbackEscapeTest : public FeedbackWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(FeedbackEscapeTest, EscapeClosesTheWindow)
{
    open();
    QWidget* controls[] = {form->Memo1, form->Edit1, form->BitBtn1};
    QTest::keyClick(controls[GetParam()], Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_TRUE(service.posts().empty());
}

INSTANTIATE_TEST_SUITE_P(Memo1Edit1BitBtn1, FeedbackEscapeTest, ::testing::Values(0, 1, 2));

TEST(FeedbackMemo, HoldsAtMostTenThousandCharacters)
{
    RecordingDesktop desktop;
    TFeedbackForm form(AppIdentity{}, Endpoints{}, desktop);
    form.Memo1->setPlainText(QString(10050, QLatin1Char('a')));
    EXPECT_EQ(form.Memo1->toPlainText().size(), 10000);
}

TEST(FeedbackMemo, TheLimitShortensWhatIsInsertedAndKeepsTheRestCursorAndUndo)
{
    RecordingDesktop desktop;
    TFeedbackForm form(AppIdentity{}, Endpoints{}, desktop);
    form.show();
    const QString original = QString(9980, QLatin1Char('b')) + QStringLiteral("\nthe end");
    ASSERT_EQ(original.size(), 9988);
    form.Memo1->setPlainText(original);
    form.Memo1->moveCursor(QTextCursor::Start);
    form.Memo1->moveCursor(QTextCursor::Right); // after the first character

    // A paste near the start: only what still fits goes in, and the end stays.
    QApplication::clipboard()->setText(QStringLiteral("0123456789ABCDEF"));
    form.Memo1->paste();
    const QString expected = QStringLiteral("b0123456789AB") + original.mid(1);
    EXPECT_EQ(form.Memo1->toPlainText(), expected);
    EXPECT_EQ(form.Memo1->textCursor().position(), 13);

    // One undo takes the shortened paste back as a whole.
    form.Memo1->undo();
    EXPECT_EQ(form.Memo1->toPlainText(), original);
    form.Memo1->redo();
    EXPECT_EQ(form.Memo1->toPlainText(), expected);

    // Full: a typed character goes nowhere, the text and the cursor stay.
    QTextCursor cursor = form.Memo1->textCursor();
    cursor.setPosition(13);
    form.Memo1->setTextCursor(cursor);
    QTest::keyClick(form.Memo1, Qt::Key_X);
    EXPECT_EQ(form.Memo1->toPlainText(), expected);
    EXPECT_EQ(form.Memo1->textCursor().position(), 13);
}

TEST(FeedbackMemo, TypingOverASelectionStaysWithinTheLimit)
{
    RecordingDesktop desktop;
    TFeedbackForm form(AppIdentity{}, Endpoints{}, desktop);
    form.Memo1->setPlainText(QString(9999, QLatin1Char('c')) + QLatin1Char('Z'));
    QTextCursor cursor = form.Memo1->textCursor();
    cursor.setPosition(10);
    cursor.setPosition(12, QTextCursor::KeepAnchor); // two characters chosen
    form.Memo1->setTextCursor(cursor);
    QTest::keyClicks(form.Memo1, QStringLiteral("wxyz"));
    const QString text = form.Memo1->toPlainText();
    EXPECT_EQ(text.size(), 10000);
    EXPECT_EQ(text.mid(10, 2), QStringLiteral("wx"));
    EXPECT_TRUE(text.endsWith(QLatin1Char('Z')));
}

TEST(FeedbackCommand, TheMenuCommandOpensAModalFeedbackWindow)
{
    QTemporaryDir folder;
    RecordingDesktop desktop;
    AppEnvironment environment;
    environment.programFile = QCoreApplication::applicationFilePath();
    environment.programFolder = folder.path();
    environment.appDataBase = folder.filePath(QStringLiteral("appdata"));
    TAppForm main(environment, desktop);
    main.FormCreate();
    main.TimerChecker->stop(); // no update check in this test
    main.SendFeedback1->trigger();
    const auto windows = main.findChildren<TFeedbackForm*>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_TRUE(windows[0]->isModal());
    EXPECT_EQ(windows[0]->windowTitle(), QStringLiteral("Parlotext feedback"));
    EXPECT_EQ(windows[0]->timeoutMs, 3000);
    windows[0]->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main.findChildren<TFeedbackForm*>().isEmpty());
}
