// The new-version notice, headless: place, countdown, link, close button, hover, drag.
#include "services/widgets/newversion.h"

#include "support/plaintextlabels.h"
#include "support/recordingdesktop.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVariantAnimation>

#include <gtest/gtest.h>

namespace {

NewVersionInfo info(const QString& downloadUrl)
{
    NewVersionInfo info;
    info.appProduct = QStringLiteral("Parlotext");
    info.LatestVersion = QStringLiteral("1.4");
    info.DownloadURL = downloadUrl;
    info.homePage = QUrl(QStringLiteral("http://www.quillon.example"));
    return info;
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint global, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                  : type == QEvent::MouseMove        ? Qt::MouseButtons(button)
                                                                     : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(target->mapFromGlobal(global)), QPointF(global),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

} // namespace

class NoticeTest : public ::testing::Test {
protected:
    std::unique_ptr<TNewVer>
    make(const QString& downloadUrl = QStringLiteral("https://127.0.0.1:9/get"))
    {
        auto notice = std::make_unique<TNewVer>(info(downloadUrl), desktop, nullptr);
        return notice;
    }
    void open(TNewVer& notice)
    {
        notice.TimerStartTimer();
        QTRY_VERIFY(!notice.isAnimating());
    }
    RecordingDesktop desktop;
};

TEST_F(NoticeTest, SitsFivePixelsFromTheTopRightCornerAndOpensItself)
{
    auto notice = make();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(notice->size(), QSize(320, 68));
    EXPECT_EQ(notice->pos(), QPoint(screen.width() - 320 - 5, 5));
    EXPECT_FALSE(notice->isVisible());
    EXPECT_TRUE(notice->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(notice->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(notice->Label1->text(), QStringLiteral("UPDATE AVAILABLE"));
    EXPECT_EQ(notice->Label2->text(), QStringLiteral("Click to download Parlotext 1.4"));
    EXPECT_EQ(notice->TimerStart->interval(), 1);
    EXPECT_EQ(notice->TimerClose->interval(), 1000);
    EXPECT_EQ(notice->TimerLink->interval(), 100);
    // The start timer shows it, with its opening animation.
    QTRY_VERIFY(notice->isVisible());
    EXPECT_FALSE(notice->TimerStart->isActive());
    QTRY_VERIFY(!notice->isAnimating());
    EXPECT_TRUE(notice->mask().isEmpty()); // fully open
}

TEST_F(NoticeTest, TheCountdownClosesItOnTheEleventhTickEvenUnderTheCursor)
{
    auto notice = make();
    open(*notice);
    notice->cursorPosition = [&] {
        return notice->Label2->mapToGlobal(QPoint(5, 5));
    };
    for (int tick = 1; tick <= 10; ++tick) {
        notice->TimerCloseTimer();
        notice->TimerLinkTimer();
    }
    EXPECT_EQ(notice->closeCountdown(), 1);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_TRUE(notice->TimerClose->isActive());
    notice->TimerCloseTimer();
    EXPECT_FALSE(notice->TimerClose->isActive());
    EXPECT_TRUE(notice->isAnimating()); // closing towards its centre
    QTRY_VERIFY(notice->isHidden());
    EXPECT_TRUE(desktop.openedUrls.isEmpty());
}

TEST_F(NoticeTest, TheVersionFromTheAnswerIsShownAsItIs)
{
    NewVersionInfo markup = info(QStringLiteral("https://127.0.0.1:9/get"));
    markup.LatestVersion = QStringLiteral("<b>2.0</b><img src=x>");
    TNewVer notice(markup, desktop, nullptr);
    EXPECT_EQ(LabelsThatReadMarkup(notice), QStringList());
}

TEST_F(NoticeTest, OpensAndClosesFromItsCentrePointInBothDirections)
{
    auto notice = make();
    const QRect whole = notice->rect();
    const auto shownAt = [&notice](double fraction) {
        QVariantAnimation* animation = notice->animation();
        animation->pause(); // the test sets the time itself
        animation->setCurrentTime(int(animation->duration() * fraction));
        return notice->mask().boundingRect();
    };

    notice->TimerStartTimer();
    ASSERT_TRUE(notice->isAnimating());
    for (const double fraction : {0.0, 0.25, 0.5, 0.75}) {
        const QRect shown = shownAt(fraction);
        EXPECT_NEAR(shown.width(), whole.width() * fraction, 1.5) << fraction;
        EXPECT_NEAR(shown.height(), whole.height() * fraction, 1.5) << fraction;
        // Centred on the window's centre point, whatever its size.
        EXPECT_NEAR(shown.center().x(), whole.center().x(), 1.0) << fraction;
        EXPECT_NEAR(shown.center().y(), whole.center().y(), 1.0) << fraction;
    }
    notice->animation()->setCurrentTime(notice->animation()->duration());
    EXPECT_TRUE(notice->mask().isEmpty()); // fully open: no mask at all

    for (int i = 0; i < TNewVer::kCloseCountdownStart; ++i)
        notice->TimerCloseTimer();
    ASSERT_TRUE(notice->isAnimating());
    const QRect half = shownAt(0.5);
    EXPECT_NEAR(half.width(), whole.width() / 2.0, 1.5);
    EXPECT_NEAR(half.height(), whole.height() / 2.0, 1.5);
    EXPECT_NEAR(half.center().y(), whole.center().y(), 1.0);
}

struct LinkCase {
    const char* name;
    const char* downloadUrl;
    const char* opened;
};

class NoticeLinkTest : public NoticeTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(NoticeLinkTest, OpensTheDownloadPageOrTheHomePageAndCloses)
{
    auto notice = make(QString::fromUtf8(GetParam().downloadUrl));
    open(*notice);
    QTest::mouseClick(notice->Label2, Qt::LeftButton);
    ASSERT_EQ(desktop.openedUrls.size(), 1);
    EXPECT_EQ(desktop.openedUrls[0].toString().toStdString(), GetParam().opened);
    EXPECT_TRUE(notice->isHidden()); // at once, without animation
    EXPECT_FALSE(notice->isDragging());
}

INSTANTIATE_TEST_SUITE_P(
    Table, NoticeLinkTest,
    ::testing::Values(LinkCase{"DownloadUrl", "https://127.0.0.1:9/get", "https://127.0.0.1:9/get"},
                      LinkCase{"Empty", "", "http://www.quillon.example"},
                      // The service names web pages only; anything else is not handed on.
                      LinkCase{"LocalFile", "file:///etc/passwd", "http://www.quillon.example"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NoticeTest, AFailureToOpenTheLinkStillClosesIt)
{
    desktop.openUrlResult = false;
    auto notice = make();
    open(*notice);
    notice->Label2Click();
    EXPECT_TRUE(notice->isHidden());
}

TEST_F(NoticeTest, TheRightButtonOnTheLinkDoesNothing)
{
    auto notice = make();
    open(*notice);
    QTest::mouseClick(notice->Label2, Qt::RightButton);
    EXPECT_TRUE(desktop.openedUrls.isEmpty());
    EXPECT_TRUE(notice->isVisible());
}

TEST_F(NoticeTest, TheCloseButtonHidesItWithoutOpeningAnything)
{
    auto notice = make();
    open(*notice);
    QTest::mouseClick(notice->Button1, Qt::LeftButton);
    EXPECT_TRUE(notice->isHidden());
    EXPECT_TRUE(desktop.openedUrls.isEmpty());
}

TEST_F(NoticeTest, TheLinkTakesTheHighlightColourWhileTheCursorIsOverIt)
{
    auto notice = make();
    open(*notice);
    ASSERT_NE(notice->linkColour(), notice->hoverColour());
    QPoint cursor = notice->Label2->mapToGlobal(notice->Label2->rect().center());
    notice->cursorPosition = [&cursor] {
        return cursor;
    };
    notice->TimerLinkTimer();
    EXPECT_EQ(notice->Label2->palette().color(QPalette::WindowText), notice->hoverColour());
    cursor = notice->Image1->mapToGlobal(QPoint(2, 2));
    notice->TimerLinkTimer();
    EXPECT_EQ(notice->Label2->palette().color(QPalette::WindowText), notice->linkColour());
}

TEST_F(NoticeTest, TheLeftButtonDragsTheWindowByItsBodyOnly)
{
    auto notice = make();
    open(*notice);
    const QPoint start = notice->pos();
    const QPoint grip = notice->Image1->mapToGlobal(QPoint(10, 10));

    sendMouse(notice->Image1, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    EXPECT_TRUE(notice->isDragging());
    sendMouse(notice->Image1, QEvent::MouseMove, grip + QPoint(-30, 12), Qt::LeftButton);
    sendMouse(notice->Image1, QEvent::MouseMove, grip + QPoint(-40, 20), Qt::LeftButton);
    EXPECT_EQ(notice->pos(), start + QPoint(-40, 20));
    sendMouse(notice->Image1, QEvent::MouseButtonRelease, grip + QPoint(-40, 20), Qt::LeftButton);
    EXPECT_FALSE(notice->isDragging());
    sendMouse(notice->Panel1, QEvent::MouseMove, grip + QPoint(-80, 50), Qt::NoButton);
    EXPECT_EQ(notice->pos(), start + QPoint(-40, 20));
    EXPECT_EQ(notice->size(), QSize(320, 68));

    // The right button, the link's panel and the close button start no drag.
    const QPoint moved = notice->pos();
    sendMouse(notice->Panel1, QEvent::MouseButtonPress, grip, Qt::RightButton);
    sendMouse(notice->Panel1, QEvent::MouseMove, grip + QPoint(50, 50), Qt::RightButton);
    EXPECT_EQ(notice->pos(), moved);
    sendMouse(notice->Panel2, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    sendMouse(notice->Panel2, QEvent::MouseMove, grip + QPoint(50, 50), Qt::LeftButton);
    EXPECT_FALSE(notice->isDragging());
    EXPECT_EQ(notice->pos(), moved);
    sendMouse(notice->Button1, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    EXPECT_FALSE(notice->isDragging());
}
