// Build step: draws the main window's pictures once and writes their pixels as a C++ source
// file, so that the program shows them without drawing or decoding anything at start-up.
#include "app/appicondrawing.h"

#include <QSaveFile>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    QByteArray text =
        "// Generated at build time by parlotext_draw_pictures from appicondrawing.cpp.\n"
        "#include \"app/appiconpixels.h\"\n\n"
        "namespace {\n\n"
        "const quint32 kPixels[][kAppPictureSize * kAppPictureSize] = {\n";
    for (const AppPicture picture : kAppPictures) {
        const QImage image = DrawAppPicture(picture);
        text += "    {";
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
            text += "\n        ";
            for (int x = 0; x < image.width(); ++x) {
                // Transparent pixels, most of each picture, are written short.
                text +=
                    row[x] == 0 ? QByteArray("0,") : "0x" + QByteArray::number(row[x], 16) + ',';
            }
        }
        text += "\n    },\n";
    }
    text += "};\n\n"
            "} // namespace\n\n"
            "const quint32* AppPicturePixels(AppPicture picture)\n"
            "{\n"
            "    return kPixels[static_cast<int>(picture)];\n"
            "}\n";

    QSaveFile output(QString::fromLocal8Bit(argv[1]));
    if (!output.open(QIODevice::WriteOnly) || output.write(text) != text.size() ||
        !output.commit()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
