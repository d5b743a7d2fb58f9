// The sound input device comes from a module loaded on the first recording.
#include "media/loadedaudioinput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(AudioModule, LoadsFromTheProgramsFolderAndMakesADevice)
{
    QString error;
    const CreateAudioInputFunction create = LoadAudioModule(
        {QStringLiteral("/nonexistent"), QStringLiteral(PARLOTEXT_AUDIO_MODULE_FOLDER)}, &error);
    ASSERT_NE(create, nullptr) << error.toStdString();
    const std::unique_ptr<AudioInput> device(create());
    ASSERT_NE(device, nullptr);
    // Stopping a device that never started does nothing.
    device->stop();
}

TEST(AudioModule, InstalledProgramLooksInItsLibraryFolder)
{
    const QStringList folders = AudioModuleFolders(QStringLiteral("/opt/x/bin"));
    ASSERT_EQ(folders.size(), 2);
    EXPECT_EQ(folders[0], QStringLiteral("/opt/x/bin"));
    EXPECT_TRUE(folders[1].startsWith(QStringLiteral("/opt/x/lib"))) << folders[1].toStdString();
    EXPECT_TRUE(folders[1].endsWith(QStringLiteral("/parlotext"))) << folders[1].toStdString();
}

TEST(AudioModule, MissingOrBrokenModuleIsAnErrorAndRecordingDoesNotStart)
{
    QTemporaryDir empty;
    QTemporaryDir broken;
    QFile junk(broken.filePath(QStringLiteral("parlotext-audio.so")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a library");
    junk.close();

    QString error;
    EXPECT_EQ(LoadAudioModule({empty.path()}, &error), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("missing"))) << error.toStdString();
    error.clear();
    EXPECT_EQ(LoadAudioModule({broken.path()}, &error), nullptr);
    EXPECT_FALSE(error.isEmpty());

    LoadedAudioInput input({empty.path(), broken.path()});
    bool delivered = false;
    EXPECT_FALSE(input.start([&](QByteArrayView) { delivered = true; }));
    input.stop();
    EXPECT_FALSE(delivered);
}

} // namespace
