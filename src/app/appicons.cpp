#include "app/appicons.h"

#include "app/appiconpixels.h"

#include <QPixmap>

namespace {

// The picture's pixels are compiled in: making the icon copies 16 KiB and decodes nothing,
// so no image reader (and none of Qt's image plug-ins) is loaded for it.
QIcon iconOf(AppPicture picture)
{
    const QImage image(reinterpret_cast<const uchar*>(AppPicturePixels(picture)), kAppPictureSize,
                       kAppPictureSize, QImage::Format_ARGB32_Premultiplied);
    return QIcon(QPixmap::fromImage(image));
}

} // namespace

namespace AppIcons {

QIcon program()
{
    return iconOf(AppPicture::Bubble);
}

QIcon convert()
{
    return iconOf(AppPicture::Convert);
}

QIcon stop()
{
    return iconOf(AppPicture::Stop);
}

QIcon load()
{
    return iconOf(AppPicture::Load);
}

QIcon save()
{
    return iconOf(AppPicture::Save);
}

QIcon settings()
{
    return iconOf(AppPicture::Settings);
}

QIcon record()
{
    return iconOf(AppPicture::Record);
}

QIcon page()
{
    return iconOf(AppPicture::Bubble);
}

QIcon key()
{
    return iconOf(AppPicture::Key);
}

} // namespace AppIcons
