#pragma once

#include "app/appform.h"
#include "support/recordingdesktop.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

// A main window on temporary folders whose prediction service is the given endpoints.
inline std::unique_ptr<TAppForm> MakeForm(const QTemporaryDir& folder, const Endpoints& endpoints,
                                          RecordingDesktop& desktop)
{
    AppEnvironment environment;
    environment.programFile = QCoreApplication::applicationFilePath();
    environment.programFolder = folder.path();
    environment.appDataBase = folder.filePath(QStringLiteral("appdata"));
    environment.endpoints = endpoints;
    auto form = std::make_unique<TAppForm>(environment, desktop);
    form->FormCreate();
    form->TimerChecker->stop();
    return form;
}
