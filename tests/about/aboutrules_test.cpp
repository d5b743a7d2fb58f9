// The about window's links and the Info menu's repeat rule.
#include "about/aboutrules.h"

#include <gtest/gtest.h>

TEST(AboutRules, LinksUseTheMakersAddress)
{
    const QUrl maker(QStringLiteral("http://www.maker.test"));
    EXPECT_EQ(MakerWebAddress(maker), QStringLiteral("www.maker.test"));
    EXPECT_EQ(MakerHomePage(maker), QUrl(QStringLiteral("http://www.maker.test/")));
    EXPECT_EQ(CreditsPage(maker),
              QUrl(QStringLiteral("https://www.maker.test/blog/credits-and-acknowledgements/")));
    EXPECT_EQ(
        UninstallPage(maker),
        QUrl(QStringLiteral("http://www.maker.test/blog/how-to-uninstall-quillon-software/")));
    EXPECT_EQ(MakerWebAddress(QUrl(QStringLiteral("http://127.0.0.1:8080"))),
              QStringLiteral("127.0.0.1:8080"));
}

TEST(AboutRules, FormatOneStringReplacesTheFirstPlaceholder)
{
    EXPECT_EQ(FormatOneString(QStringLiteral("About %s"), QStringLiteral("Parlotext")),
              QStringLiteral("About Parlotext"));
    EXPECT_EQ(FormatOneString(QStringLiteral("%s hakkında %s"), QStringLiteral("P")),
              QStringLiteral("P hakkında %s"));
    EXPECT_EQ(FormatOneString(QStringLiteral("About"), QStringLiteral("P")),
              QStringLiteral("About"));
}

TEST(PopupRepeatGuard, AClickJustAfterTheMenuClosedIsSwallowedOnce)
{
    int button = 0, menu = 0, otherMenu = 0;
    struct Case {
        quint32 closedAt;
        quint32 now;
        bool shown;
    };
    const Case cases[] = {
        {1000, 1000, false},
        {1000, 1099, false},
        {1000, 1100, true},
        {1000, 5000, true},
        // The tick counter wraps; the difference is taken as unsigned.
        {0xFFFFFFF0u, 0x10u, false},
        {0xFFFFFFF0u, 0x60u, true},
    };
    for (const Case& c : cases) {
        PopupRepeatGuard guard;
        EXPECT_TRUE(guard.shouldShow(&button, &menu, c.closedAt - 500));
        guard.menuClosed(&button, &menu, c.closedAt);
        EXPECT_EQ(guard.shouldShow(&button, &menu, c.now), c.shown) << c.closedAt << " " << c.now;
        // Once swallowed, the next click opens the menu again.
        EXPECT_TRUE(guard.shouldShow(&button, &menu, c.now));
    }
    PopupRepeatGuard guard;
    guard.menuClosed(&button, &menu, 1000);
    EXPECT_TRUE(guard.shouldShow(&button, &otherMenu, 1010));
}
