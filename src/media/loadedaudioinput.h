#pragma once

#include "media/recording.h"

#include <QString>
#include <QStringList>

#include <memory>

class QLibrary;

// The sound input device lives in a module of its own ("parlotext-audio"), so that the
// program does not load Qt Multimedia and the sound libraries behind it at start-up, only
// when the user first records.

// The module's entry point: a new sound input device.
using CreateAudioInputFunction = AudioInput* (*)();

// The folders searched for the module, in order: the program's own folder (a build or an
// unpacked folder), then the library folder of an installed program.
QStringList AudioModuleFolders(const QString& programFolder);

// Loads the module from the first of folders that holds it and returns its entry point;
// null, with the reason in error, when none loads. The module stays loaded for the life of
// the process.
CreateAudioInputFunction LoadAudioModule(const QStringList& folders, QString* error = nullptr);

// A sound input that loads the module on its first start. When the module cannot be
// loaded, start() answers false, as for a machine without a sound input.
class LoadedAudioInput final : public AudioInput {
public:
    explicit LoadedAudioInput(QStringList folders);
    ~LoadedAudioInput() override;
    LoadedAudioInput(const LoadedAudioInput&) = delete;
    LoadedAudioInput& operator=(const LoadedAudioInput&) = delete;

    bool start(Consumer consume) override;
    void stop() override;

private:
    QStringList m_folders;
    std::unique_ptr<AudioInput> m_device;
};
