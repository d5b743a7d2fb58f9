// The about window, headless: captions, links, licence, slide, drag, Info menu, closing.
#include "about/aboutbox.h"

#include "app/appform.h"
#include "language/textcatalogue.h"
#include "support/plaintextlabels.h"
#include "support/recordingdesktop.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

void sendMouse(QWidget* target, QEvent::Type type, QPoint global, Qt::MouseButton button)
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(target->mapFromGlobal(global)), QPointF(global),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

void sendDoubleClick(QWidget* target)
{
    const QPoint global = target->mapToGlobal(target->rect().center());
    sendMouse(target, QEvent::MouseButtonPress, global, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, global, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonDblClick, global, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, global, Qt::LeftButton);
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class AboutBoxTest : public ::testing::Test {
protected:
    TAboutBox* make()
    {
        AboutBoxInfo info;
        info.identity.AppCompany = QStringLiteral("QUILLON");
        info.identity.AppProduct = QStringLiteral("Parlotext");
        info.identity.AppVersion = QStringLiteral("1.3");
        info.makerWeb = QUrl(QStringLiteral("http://www.maker.test"));
        info.programFolder = m_folder.path();
        m_box = new TAboutBox(info, m_desktop);
        // The effect runs on its own ticks in these tests.
        m_box->tmTimer->stop();
        m_box->TimerEgg->stop();
        return m_box;
    }

    void TearDown() override
    {
        delete m_box.data();
        flushDeletes();
    }

    // Runs the slide to its end, one tick at a time; the number of ticks it took.
    int slideOut(TAboutBox& box)
    {
        int ticks = 0;
        while (box.TimerEgg->isActive() && ticks < 1000) {
            box.TimerEggTimer();
            ++ticks;
        }
        return ticks;
    }

    QTemporaryDir m_folder;
    RecordingDesktop m_desktop;
    QPointer<TAboutBox> m_box;
};

} // namespace

TEST_F(AboutBoxTest, CaptionsNameAndLayout)
{
    TAboutBox& box = *make();
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About Parlotext"));
    EXPECT_EQ(box.Label2->text(), QStringLiteral("Parlotext 1.3"));
    EXPECT_EQ(box.BitBtn1->text(), QStringLiteral("OK"));
    EXPECT_EQ(box.BitBtn2->text(), QStringLiteral("Info"));
    EXPECT_EQ(box.Credits1->text(), QStringLiteral("Acknowledgements..."));
    EXPECT_EQ(box.Howtouninstall1->text(), QStringLiteral("How to uninstall..."));
    EXPECT_EQ(box.LicensePrivacyPolicy1->text(), QStringLiteral("License..."));
    EXPECT_EQ(box.Label5->text(), QStringLiteral("www.maker.test"));
    EXPECT_EQ(box.Label5->toolTip(), QStringLiteral("http://www.maker.test/"));
    EXPECT_EQ(box.size(), QSize(446, 374));
    EXPECT_EQ(box.Panel1->geometry(), QRect(48, 42, 350, 291));
    EXPECT_EQ(box.PanelEgg->geometry(), QRect((446 - 324) / 2, (374 - 220) / 2, 324, 220));
    EXPECT_FALSE(box.PanelEgg->isVisibleTo(&box));
    EXPECT_EQ(box.BitBtn1->geometry(), QRect(49, 224, 122, 33));
    EXPECT_EQ(box.BitBtn2->geometry(), QRect(177, 224, 122, 33));
    EXPECT_EQ(box.tmTimer->interval(), 50);
    EXPECT_EQ(box.TimerEgg->interval(), 5);
    EXPECT_TRUE(box.windowFlags() & Qt::Tool);
    EXPECT_TRUE(box.testAttribute(Qt::WA_DeleteOnClose));
    // The pictures are drawn for the window: logo 344 x 105, hidden picture 320 x 214.
    EXPECT_EQ(box.Image2->pixmap().deviceIndependentSize().toSize(), QSize(344, 105));
    EXPECT_EQ(box.ImageEgg->pixmap().deviceIndependentSize().toSize(), QSize(320, 214));
}

TEST_F(AboutBoxTest, CaptionsAndMessagesComeFromTheLoadedLanguage)
{
    TextCatalogue saved = ProgramCatalogue();
    ProgramCatalogue().LanguageFile = QStringLiteral("Test.lang.txt");
    ProgramCatalogue().LanguageLines = {QStringLiteral("{About %s}%s hakkında"),
                                        QStringLiteral("{OK}Tamam"),
                                        QStringLiteral("{Info}Bilgi"),
                                        QStringLiteral("{License...}Lisans..."),
                                        QStringLiteral("{File not found!}Dosya yok!"),
                                        QStringLiteral("{License}Lisans")};
    TAboutBox& box = *make();
    box.LicensePrivacyPolicy1->trigger();
    ProgramCatalogue() = saved;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Parlotext hakkında"));
    EXPECT_EQ(box.BitBtn1->text(), QStringLiteral("Tamam"));
    EXPECT_EQ(box.BitBtn2->text(), QStringLiteral("Bilgi"));
    EXPECT_EQ(box.LicensePrivacyPolicy1->text(), QStringLiteral("Lisans..."));
    EXPECT_EQ(box.Credits1->text(), QStringLiteral("Acknowledgements...")); // no entry
    ASSERT_EQ(m_desktop.messages.size(), 1);
    EXPECT_EQ(m_desktop.messages[0].title, QStringLiteral("Lisans"));
    EXPECT_EQ(m_desktop.messages[0].text, QStringLiteral("Dosya yok!"));
}

TEST_F(AboutBoxTest, TheEffectStartsWithTheWindowAndDrawsOnItsSurface)
{
    TAboutBox* box = new TAboutBox(
        AboutBoxInfo{{QStringLiteral("Q"), QStringLiteral("Parlotext"), {}, QStringLiteral("1.3")},
                     QUrl(QStringLiteral("http://www.maker.test")),
                     m_folder.path(),
                     {}},
        m_desktop);
    m_box = box;
    EXPECT_TRUE(box->tmTimer->isActive());
    EXPECT_EQ(box->effect().MatrixChars, QStringLiteral("kiv"));
    EXPECT_EQ(box->effect().matrixWidth, 446 / 8);
    EXPECT_EQ(box->effect().DropCount, 2 * (446 / 8));
    EXPECT_EQ(box->effect().FrameCount, 0);
    const QImage before = box->surface();
    box->tmTimerTimer();
    box->tmTimerTimer();
    EXPECT_EQ(box->effect().FrameCount, 2);
    EXPECT_NE(box->surface(), before);
    // Something green was drawn somewhere.
    bool green = false;
    for (int y = 0; y < box->surface().height() && !green; ++y)
        for (int x = 0; x < box->surface().width() && !green; ++x)
            green = qGreen(box->surface().pixel(x, y)) > 40;
    EXPECT_TRUE(green);
}

TEST_F(AboutBoxTest, PicturesAreDrawnAgainAtTheNewScale)
{
    TAboutBox& box = *make();
    box.pixelRatio = [] {
        return 2.0;
    };
    box.FormAfterMonitorDpiChanged();
    EXPECT_EQ(box.Image2->pixmap().size(), QSize(688, 210));
    EXPECT_EQ(box.Image2->pixmap().devicePixelRatio(), 2.0);
    EXPECT_EQ(box.ImageEgg->pixmap().size(), QSize(640, 428));
}

TEST_F(AboutBoxTest, LinksOpenTheMakersPages)
{
    TAboutBox& box = *make();
    box.Label5Click();
    box.Credits1->trigger();
    box.Howtouninstall1->trigger();
    EXPECT_EQ(m_desktop.openedUrls,
              (QList<QUrl>{
                  QUrl(QStringLiteral("http://www.maker.test/")),
                  QUrl(QStringLiteral("https://www.maker.test/blog/credits-and-acknowledgements/")),
                  QUrl(QStringLiteral(
                      "http://www.maker.test/blog/how-to-uninstall-quillon-software/"))}));
    // A click on the link label itself opens the home page too.
    const QPoint centre = box.Label5->mapToGlobal(box.Label5->rect().center());
    sendMouse(box.Label5, QEvent::MouseButtonPress, centre, Qt::LeftButton);
    EXPECT_FALSE(box.isDragging());
    sendMouse(box.Label5, QEvent::MouseButtonRelease, centre, Qt::LeftButton);
    EXPECT_EQ(m_desktop.openedUrls.size(), 4);
    EXPECT_EQ(m_desktop.openedUrls.last(), QUrl(QStringLiteral("http://www.maker.test/")));
}

TEST_F(AboutBoxTest, LicenseOpensInTheDefaultHandlerOrIsReportedMissing)
{
    TAboutBox& box = *make();
    box.LicensePrivacyPolicy1->trigger();
    ASSERT_EQ(m_desktop.messages.size(), 1);
    EXPECT_EQ(m_desktop.messages[0].title, QStringLiteral("License"));
    EXPECT_EQ(m_desktop.messages[0].text, QStringLiteral("File not found!"));
    EXPECT_EQ(m_desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(m_desktop.openedUrls.isEmpty());

    QFile license(m_folder.filePath(QStringLiteral("license.txt")));
    ASSERT_TRUE(license.open(QIODevice::WriteOnly));
    license.write("Terms.\r\n");
    license.close();
    box.LicensePrivacyPolicy1->trigger();
    EXPECT_EQ(m_desktop.messages.size(), 1);
    ASSERT_EQ(m_desktop.openedUrls.size(), 1);
    EXPECT_EQ(m_desktop.openedUrls[0], QUrl::fromLocalFile(license.fileName()));
}

TEST_F(AboutBoxTest, TheIconDoubleClickSlidesThePanelAwayInFivePixelSteps)
{
    TAboutBox& box = *make();
    sendDoubleClick(box.Image1);
    EXPECT_TRUE(box.PanelEgg->isVisibleTo(&box));
    ASSERT_TRUE(box.TimerEgg->isActive());
    box.TimerEgg->stop(); // driven by hand from here
    box.TimerEgg->start();
    box.TimerEggTimer();
    EXPECT_EQ(box.Panel1->x(), 53);
    EXPECT_EQ(box.Panel1->y(), 42);

    // While it slides, neither double-click does anything.
    sendDoubleClick(box.Image1);
    sendDoubleClick(box.ImageEgg);
    EXPECT_EQ(box.Panel1->x(), 53);
    EXPECT_TRUE(box.PanelEgg->isVisibleTo(&box));

    // It stops once its left edge is past the right edge: 48 + 5 * 80 = 448 > 446.
    EXPECT_EQ(slideOut(box), 79);
    EXPECT_EQ(box.Panel1->x(), 448);

    // Now the picture's double-click puts the panel back at once.
    sendDoubleClick(box.ImageEgg);
    EXPECT_FALSE(box.PanelEgg->isVisibleTo(&box));
    EXPECT_EQ(box.Panel1->pos(), QPoint(48, 42));
    // And the icon can start it again.
    box.Image1DblClick();
    EXPECT_TRUE(box.TimerEgg->isActive());
}

TEST_F(AboutBoxTest, DraggingTheContentMovesTheWindowByThePointersMovement)
{
    TAboutBox& box = *make();
    box.move(100, 80);
    const QPoint start = box.pos();
    for (QWidget* part :
         {box.Panel1, static_cast<QWidget*>(box.Image1), static_cast<QWidget*>(box.Label2),
          static_cast<QWidget*>(box.Image2), static_cast<QWidget*>(&box)}) {
        box.move(start);
        QPoint pointer = part->mapToGlobal(QPoint(5, 5));
        // The right button does nothing.
        sendMouse(part, QEvent::MouseButtonPress, pointer, Qt::RightButton);
        EXPECT_FALSE(box.isDragging());
        sendMouse(part, QEvent::MouseMove, pointer + QPoint(30, 30), Qt::RightButton);
        EXPECT_EQ(box.pos(), start);
        sendMouse(part, QEvent::MouseButtonRelease, pointer, Qt::RightButton);

        sendMouse(part, QEvent::MouseButtonPress, pointer, Qt::LeftButton);
        EXPECT_TRUE(box.isDragging());
        sendMouse(part, QEvent::MouseMove, pointer + QPoint(17, -9), Qt::LeftButton);
        EXPECT_EQ(box.pos(), start + QPoint(17, -9));
        sendMouse(part, QEvent::MouseMove, pointer + QPoint(20, 4), Qt::LeftButton);
        EXPECT_EQ(box.pos(), start + QPoint(20, 4));
        sendMouse(part, QEvent::MouseButtonRelease, pointer + QPoint(20, 4), Qt::LeftButton);
        EXPECT_FALSE(box.isDragging());
        // After the release the pointer's movement no longer moves the window.
        sendMouse(part, QEvent::MouseMove, pointer + QPoint(60, 60), Qt::NoButton);
        EXPECT_EQ(box.pos(), start + QPoint(20, 4));
    }
}

TEST_F(AboutBoxTest, NoLabelLaysOutMarkup)
{
    TAboutBox& box = *make();
    box.Label2->setText(QStringLiteral("<b>Parlotext</b> 1.3"));
    EXPECT_EQ(LabelsThatReadMarkup(box), QStringList());
}

TEST_F(AboutBoxTest, OnlyTheLeftButtonDrags)
{
    TAboutBox& box = *make();
    box.move(100, 80);
    const QPoint start = box.pos();
    const QPoint pointer = box.Panel1->mapToGlobal(QPoint(5, 5));
    for (const Qt::MouseButton button : {Qt::MiddleButton, Qt::BackButton, Qt::ForwardButton}) {
        sendMouse(box.Panel1, QEvent::MouseButtonPress, pointer, button);
        EXPECT_FALSE(box.isDragging()) << int(button);
        sendMouse(box.Panel1, QEvent::MouseMove, pointer + QPoint(30, 30), button);
        EXPECT_EQ(box.pos(), start) << int(button);
        sendMouse(box.Panel1, QEvent::MouseButtonRelease, pointer + QPoint(30, 30), button);
    }
}

TEST_F(AboutBoxTest, ButtonsDoNotStartADrag)
{
    TAboutBox& box = *make();
    for (QPushButton* button : {box.BitBtn1, box.BitBtn2}) {
        sendMouse(button, QEvent::MouseButtonPress, button->mapToGlobal(QPoint(3, 3)),
                  Qt::LeftButton);
        EXPECT_FALSE(box.isDragging());
        sendMouse(button, QEvent::MouseButtonRelease, button->mapToGlobal(QPoint(300, 300)),
                  Qt::LeftButton);
    }
}

TEST_F(AboutBoxTest, TheInfoMenuOpensUnderItsButtonAndASecondClickClosesIt)
{
    TAboutBox& box = *make();
    quint32 now = 5000;
    QList<QPoint> shownAt;
    box.tickCount = [&] {
        return now;
    };
    // The menu stays open for 700 ms, then the click that closes it reaches the button.
    box.showPopup = [&](QMenu* menu, QPoint point) {
        EXPECT_EQ(menu, box.PopupMenu1);
        shownAt.append(point);
        now += 700;
    };
    box.BitBtn2->click();
    ASSERT_EQ(shownAt.size(), 1);
    EXPECT_EQ(shownAt[0], box.BitBtn2->mapToGlobal(QPoint(0, box.BitBtn2->height())));
    now += 40;
    box.BitBtn2->click();
    EXPECT_EQ(shownAt.size(), 1);
    // The next click opens it again, as does one long after the menu closed.
    now += 10;
    box.BitBtn2->click();
    EXPECT_EQ(shownAt.size(), 2);
    now += 250;
    box.BitBtn2->click();
    EXPECT_EQ(shownAt.size(), 3);
}

TEST_F(AboutBoxTest, OkAndEscapeCloseAndFreeTheWindow)
{
    make()->show();
    m_box->BitBtn1->click();
    flushDeletes();
    EXPECT_TRUE(m_box.isNull());

    for (int which = 0; which < 2; ++which) {
        make()->show();
        QPushButton* button = which == 0 ? m_box->BitBtn1 : m_box->BitBtn2;
        QTest::keyClick(button, Qt::Key_A); // other keys leave it open
        flushDeletes();
        ASSERT_FALSE(m_box.isNull());
        QTest::keyClick(button, Qt::Key_Escape);
        flushDeletes();
        EXPECT_TRUE(m_box.isNull()) << which;
    }
}

// The main window's About command.
TEST(AboutCommand, OpensANewModalAboutWindowEachTime)
{
    QTemporaryDir root;
    QDir().mkpath(root.filePath(QStringLiteral("program")));
    QDir().mkpath(root.filePath(QStringLiteral("appdata")));
    AppEnvironment environment;
    environment.programFile = QCoreApplication::applicationFilePath();
    environment.programFolder = root.filePath(QStringLiteral("program"));
    environment.appDataBase = root.filePath(QStringLiteral("appdata"));
    environment.endpoints = Endpoints::compiledIn();
    environment.endpoints.makerWeb = QUrl(QStringLiteral("http://www.maker.test"));
    environment.endpoints.makerServiceSecure = QUrl(QStringLiteral("https://127.0.0.1:9"));
    environment.endpoints.makerServicePlain = QUrl(QStringLiteral("http://127.0.0.1:9"));
    RecordingDesktop desktop;
    TAppForm form(environment, desktop);
    form.FormCreate();
    form.TimerChecker->stop();

    form.About1->trigger();
    QPointer<TAboutBox> first = form.findChild<TAboutBox*>();
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(first->windowTitle(), QStringLiteral("About Parlotext"));
    EXPECT_EQ(first->Label2->text(), QStringLiteral("Parlotext 1.3"));
    first->LicensePrivacyPolicy1->trigger();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].text, QStringLiteral("File not found!"));
    first->close();
    flushDeletes();
    EXPECT_TRUE(first.isNull());

    form.About1->trigger();
    QPointer<TAboutBox> second = form.findChild<TAboutBox*>();
    ASSERT_FALSE(second.isNull());
    second->close();
    flushDeletes();
    EXPECT_TRUE(second.isNull());
}
