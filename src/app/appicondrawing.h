#pragma once

#include <QImage>

// The main window's pictures as they are drawn, each on a 64 x 64 canvas with anti-aliasing.
// The build draws them once and compiles the pixels into the program (see appicons.cpp), so
// that no start-up pays for the drawing.
enum class AppPicture { Bubble, Convert, Stop, Load, Save, Settings, Record, Key };

inline constexpr int kAppPictureSize = 64;
inline constexpr AppPicture kAppPictures[] = {
    AppPicture::Bubble, AppPicture::Convert,  AppPicture::Stop,   AppPicture::Load,
    AppPicture::Save,   AppPicture::Settings, AppPicture::Record, AppPicture::Key,
};

// Premultiplied ARGB, 64 x 64, transparent where nothing is drawn.
QImage DrawAppPicture(AppPicture picture);
