#pragma once

#include <QProxyStyle>

// The platform's own style, unchanged, except that the pictures of the menu bar's and the
// toolbar's overflow buttons are read when first shown rather than when the bars are built.
// Reading them is the window's only image file at start-up, and the first image read makes Qt
// load every image-format plug-in installed (GIF, ICO, JPEG, ...) to ask whether it claims PNG:
// a few per cent of the start-up, for buttons that appear only when a bar runs out of room.
class ParlotextStyle final : public QProxyStyle {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParlotextStyle)

public:
    ParlotextStyle() = default;

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
