// The desktop's real message boxes, answered from inside their own event loop.
#include "platform/qtdesktop.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs answer on the first modal box that opens, from inside its event loop.
void whenABoxOpens(std::function<void(QMessageBox&)> answer)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        answer(*box);
    });
    poll->start();
}

TEST(QtDesktopQuestion, YesIsTheDefaultButtonSoEnterAnswersYes)
{
    QtDesktop desktop;
    QString defaultText;
    whenABoxOpens([&defaultText](QMessageBox& box) {
        if (box.defaultButton())
            defaultText = box.defaultButton()->text();
        QTest::keyClick(&box, Qt::Key_Return);
    });
    const bool answer =
        desktop.askQuestion(QStringLiteral("Confirmation"), QStringLiteral("Restart Application?"),
                            QStringLiteral("Ja"), QStringLiteral("Nein"));
    EXPECT_EQ(defaultText, QStringLiteral("Ja"));
    EXPECT_TRUE(answer);
}

TEST(QtDesktopMessage, ATextIsShownAsItIsNeverAsMarkup)
{
    QtDesktop desktop;
    Qt::TextFormat format = Qt::AutoText;
    QString shown;
    whenABoxOpens([&](QMessageBox& box) {
        format = box.textFormat();
        shown = box.text();
        box.accept();
    });
    desktop.showMessage(QStringLiteral("Parlotext"), QStringLiteral("<b>talk</b>.mp3\rnext"),
                        MessageIcon::Error);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, QStringLiteral("<b>talk</b>.mp3\nnext"));
}

TEST(QtDesktopQuestion, TheNoButtonAndEscapeAnswerNo)
{
    QtDesktop desktop;
    whenABoxOpens([](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) {
            if (button->text() == QStringLiteral("Nein"))
                button->click();
        }
    });
    EXPECT_FALSE(desktop.askQuestion(QStringLiteral("Confirmation"), QStringLiteral("?"),
                                     QStringLiteral("Ja"), QStringLiteral("Nein")));
    whenABoxOpens([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_FALSE(desktop.askQuestion(QStringLiteral("Confirmation"), QStringLiteral("?"),
                                     QStringLiteral("Ja"), QStringLiteral("Nein")));
}

} // namespace
