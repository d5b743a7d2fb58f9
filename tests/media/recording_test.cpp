// Recording into WAV files from synthetic sound.
#include "media/mediafiles.h"
#include "media/recording.h"
#include "mediatestsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

quint32 le32(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 le16(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class WavRecordingTest : public ::testing::Test {
protected:
    QString folder() const { return m_folder.path(); }
    QString target() const { return QDir(folder()).filePath(QStringLiteral("MyRecord.wav")); }
    QStringList entries() const
    {
        return QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_folder;
    SyntheticAudioInput m_input;
};

TEST_F(WavRecordingTest, OneSecondGivesAValidWavOfTheRightFormatAndSize)
{
    const QByteArray tone = SineTone(1.0);
    {
        WavRecording recording(m_input);
        recording.start(folder());
        // The device hands sound over in pieces as it comes.
        for (qsizetype at = 0; at < tone.size(); at += 4410 * 4)
            m_input.feed(tone.mid(at, 4410 * 4));
        ASSERT_TRUE(recording.finish(target()));
    }
    const QByteArray wav = readAll(target());
    ASSERT_EQ(wav.size(), 44 + 176400);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(le32(wav, 4), quint32(36 + 176400));
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(wav, 16), 16u);
    EXPECT_EQ(le16(wav, 20), 1);      // PCM
    EXPECT_EQ(le16(wav, 22), 2);      // channels
    EXPECT_EQ(le32(wav, 24), 44100u); // samples per second
    EXPECT_EQ(le32(wav, 28), 176400u);
    EXPECT_EQ(le16(wav, 32), 4);
    EXPECT_EQ(le16(wav, 34), 16);
    EXPECT_EQ(wav.mid(36, 4), "data");
    EXPECT_EQ(le32(wav, 40), 176400u);
    EXPECT_EQ(wav.mid(44), tone);
    EXPECT_EQ(Probe(target(), QStringLiteral("stream=codec_name,sample_rate,channels")),
              QStringLiteral("codec_name=pcm_s16le\nsample_rate=44100\nchannels=2"));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("MyRecord.wav")}) << "no partial file is left";
    EXPECT_EQ(m_input.starts, 1);
    EXPECT_EQ(m_input.stops, 1);
}

TEST_F(WavRecordingTest, SoundBufferedAtStopIsSaved)
{
    WavRecording recording(m_input);
    recording.start(folder());
    m_input.feed(SineTone(0.5));
    m_input.heldUntilStop = SineTone(0.25);
    ASSERT_TRUE(recording.finish(target()));
    EXPECT_EQ(FileSizeByAttributes(target()), 44 + 176400 * 3 / 4);
}

TEST_F(WavRecordingTest, PartOfAFrameAtTheEndIsDropped)
{
    WavRecording recording(m_input);
    recording.start(folder());
    m_input.feed(SineTone(0.01) + QByteArray(3, '\x7f'));
    ASSERT_TRUE(recording.finish(target()));
    const QByteArray wav = readAll(target());
    EXPECT_EQ(wav.size(), 44 + 441 * 4);
    EXPECT_EQ(le32(wav, 40), 441u * 4);
}

TEST_F(WavRecordingTest, NoDeviceWritesNothing)
{
    m_input.hasDevice = false;
    WavRecording recording(m_input);
    recording.start(folder());
    EXPECT_TRUE(recording.isRecording());
    EXPECT_FALSE(recording.finish(target()));
    EXPECT_FALSE(recording.isRecording());
    EXPECT_EQ(FileSizeByAttributes(target()), -1);
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(WavRecordingTest, EndingWhileRecordingSavesACompleteFile)
{
    {
        WavRecording recording(m_input);
        recording.start(folder());
        m_input.feed(SineTone(0.2));
    }
    const QByteArray wav = readAll(target());
    ASSERT_EQ(wav.size(), 44 + 35280);
    EXPECT_EQ(le32(wav, 40), 35280u);
    EXPECT_EQ(m_input.stops, 1);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("MyRecord.wav")});
}

TEST_F(WavRecordingTest, MissingFolderIsCreated)
{
    const QString desk = QDir(folder()).filePath(QStringLiteral("Desktop"));
    WavRecording recording(m_input);
    recording.start(desk);
    m_input.feed(SineTone(0.1));
    EXPECT_TRUE(recording.finish(NextRecordingPath(desk)));
    EXPECT_GT(FileSizeByAttributes(QDir(desk).filePath(QStringLiteral("MyRecord.wav"))), 1024);
}

TEST(NextRecordingPathTest, StepsOverFilesAndFolders)
{
    QTemporaryDir folder;
    const QDir root(folder.path());
    EXPECT_EQ(NextRecordingPath(root.path()), root.filePath(QStringLiteral("MyRecord.wav")));
    QFile(root.filePath(QStringLiteral("MyRecord.wav"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(NextRecordingPath(root.path()), root.filePath(QStringLiteral("MyRecord (2).wav")));
    root.mkdir(QStringLiteral("MyRecord (2).wav"));
    EXPECT_EQ(NextRecordingPath(root.path()), root.filePath(QStringLiteral("MyRecord (3).wav")));
}

TEST(WavHeaderTest, SizesFollowTheSound)
{
    const QByteArray header = WavHeader(1000);
    ASSERT_EQ(header.size(), 44);
    EXPECT_EQ(le32(header, 4), 1036u);
    EXPECT_EQ(le32(header, 40), 1000u);
}

} // namespace
