#include "app/appicondrawing.h"
#include "app/appicons.h"
#include "app/parlotextstyle.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScopeGuard>

#include <gtest/gtest.h>

namespace {

QImage imageOf(const QIcon& icon, int size)
{
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

struct PictureCase {
    const char* name;
    QIcon (*icon)();
    AppPicture picture;
};

void PrintTo(const PictureCase& pictureCase, std::ostream* out)
{
    *out << pictureCase.name;
}

class CompiledPictures : public ::testing::TestWithParam<PictureCase> {};

// The pixels compiled into the program are the drawing as it stands in the source: a stale
// generated file, or a picture filed under another's name, shows here.
TEST_P(CompiledPictures, AreTheDrawingPixelForPixel)
{
    const QImage shown = imageOf(GetParam().icon(), kAppPictureSize);
    const QImage drawn = DrawAppPicture(GetParam().picture);
    ASSERT_EQ(shown.size(), QSize(kAppPictureSize, kAppPictureSize));
    EXPECT_EQ(shown, drawn);
}

INSTANTIATE_TEST_SUITE_P(
    Icons, CompiledPictures,
    ::testing::Values(PictureCase{"program", &AppIcons::program, AppPicture::Bubble},
                      PictureCase{"convert", &AppIcons::convert, AppPicture::Convert},
                      PictureCase{"stop", &AppIcons::stop, AppPicture::Stop},
                      PictureCase{"load", &AppIcons::load, AppPicture::Load},
                      PictureCase{"save", &AppIcons::save, AppPicture::Save},
                      PictureCase{"settings", &AppIcons::settings, AppPicture::Settings},
                      PictureCase{"record", &AppIcons::record, AppPicture::Record},
                      PictureCase{"page", &AppIcons::page, AppPicture::Bubble},
                      PictureCase{"key", &AppIcons::key, AppPicture::Key}),
    [](const ::testing::TestParamInfo<PictureCase>& info) { return info.param.name; });

TEST(CompiledPicturesAll, DifferFromEachOther)
{
    // Each picture is drawn on its own: two equal ones would mean a drawing lost its case.
    for (const AppPicture a : kAppPictures) {
        for (const AppPicture b : kAppPictures) {
            if (a != b) {
                EXPECT_NE(DrawAppPicture(a), DrawAppPicture(b))
                    << static_cast<int>(a) << " and " << static_cast<int>(b);
            }
        }
    }
}

// The overflow buttons' pictures, made late, are the base style's own at every size, in both
// directions of writing; every other standard picture comes from the base style unchanged.
TEST(ParlotextStyleTest, GivesTheBaseStylesPictures)
{
    ParlotextStyle style;
    QStyle* base = style.baseStyle();
    const auto restoreDirection =
        qScopeGuard([] { QGuiApplication::setLayoutDirection(Qt::LeftToRight); });
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        QGuiApplication::setLayoutDirection(direction);
        for (const QStyle::StandardPixmap picture :
             {QStyle::SP_ToolBarHorizontalExtensionButton,
              QStyle::SP_ToolBarVerticalExtensionButton, QStyle::SP_DialogOkButton,
              QStyle::SP_MessageBoxWarning}) {
            const QIcon ours = style.standardIcon(picture);
            const QIcon theirs = base->standardIcon(picture);
            EXPECT_FALSE(ours.isNull());
            for (const int size : {8, 16, 32}) {
                const QImage expected = imageOf(theirs, size);
                ASSERT_FALSE(expected.isNull());
                EXPECT_EQ(imageOf(ours, size), expected)
                    << "picture " << picture << " at " << size << " px, direction " << direction;
                EXPECT_EQ(ours.actualSize(QSize(size, size)), theirs.actualSize(QSize(size, size)));
            }
        }
    }
}

} // namespace
