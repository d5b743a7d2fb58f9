// The main window's media commands, headless: Load, Record and the temporary conversions.
#include "app/appform.h"
#include "media/mediafiles.h"
#include "media/qtaudioinput.h"
#include "media/recording.h"
#include "mediatestsupport.h"
#include "support/recordingdesktop.h"

#include <QAction>
#include <QApplication>
#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const QString kRecordFailed =
    QStringLiteral("Something went wrong! Please check microphone device.");

class AppFormMediaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppEnvironment environment;
        environment.programFile = QCoreApplication::applicationFilePath();
        environment.programFolder = m_program.path();
        environment.appDataBase = m_appData.path();
        m_form = std::make_unique<TAppForm>(environment, m_desktop);
        m_form->FormCreate();
        m_form->TimerChecker->stop();
        m_form->setDesktopFolder(m_desk.path());
        auto input = std::make_unique<SyntheticAudioInput>();
        m_input = input.get();
        m_form->setAudioInput(std::move(input));
        m_form->Edit3->setText(QStringLiteral("https://example.invalid/sample.mp3"));
    }
    QString onDesktop(const QString& name) const { return QDir(m_desk.path()).filePath(name); }
    void expectIdleButton() const
    {
        EXPECT_EQ(m_form->ToolButton4ImageIndex(), 56);
        EXPECT_EQ(m_form->ToolButton4->text(), QStringLiteral("Record"));
        EXPECT_EQ(m_form->ToolButton4->toolTip(), QStringLiteral("Record"));
    }
    void expectRecordingButton() const
    {
        EXPECT_EQ(m_form->ToolButton4ImageIndex(), 55);
        EXPECT_EQ(m_form->ToolButton4->text(), QStringLiteral("Stop"));
        EXPECT_EQ(m_form->ToolButton4->toolTip(), QStringLiteral("Stop"));
    }

    QTemporaryDir m_program;
    QTemporaryDir m_appData;
    QTemporaryDir m_desk;
    RecordingDesktop m_desktop;
    std::unique_ptr<TAppForm> m_form;
    SyntheticAudioInput* m_input = nullptr;
};

TEST_F(AppFormMediaTest, OneSecondRecordingGoesIntoTheAddressField)
{
    expectIdleButton();
    m_form->ToolButton4->click(); // forwards to Record1
    expectRecordingButton();
    EXPECT_EQ(m_form->Record1->text(), QStringLiteral("Record"));
    m_input->feed(SineTone(1.0));
    m_form->Record1->trigger();

    expectIdleButton();
    EXPECT_EQ(m_form->Edit3->text(), onDesktop(QStringLiteral("MyRecord.wav")));
    EXPECT_EQ(FileSizeByAttributes(onDesktop(QStringLiteral("MyRecord.wav"))), 44 + 176400);
    EXPECT_EQ(Probe(onDesktop(QStringLiteral("MyRecord.wav")),
                    QStringLiteral("stream=codec_name,sample_rate,channels")),
              QStringLiteral("codec_name=pcm_s16le\nsample_rate=44100\nchannels=2"));
    EXPECT_TRUE(m_desktop.messages.isEmpty());
}

TEST_F(AppFormMediaTest, TwoRecordingsGetTheFirstAndSecondName)
{
    for (int i = 0; i < 2; ++i) {
        m_form->Record1Click();
        m_input->feed(SineTone(0.1));
        m_form->Record1Click();
        EXPECT_EQ(m_form->Edit3->text(), onDesktop(i == 0 ? QStringLiteral("MyRecord.wav")
                                                          : QStringLiteral("MyRecord (2).wav")));
    }
    EXPECT_GT(FileSizeByAttributes(onDesktop(QStringLiteral("MyRecord.wav"))), 1024);
    EXPECT_GT(FileSizeByAttributes(onDesktop(QStringLiteral("MyRecord (2).wav"))), 1024);
    EXPECT_TRUE(m_desktop.messages.isEmpty());
}

TEST_F(AppFormMediaTest, NoDeviceGivesTheBoxAtStop)
{
    m_input->hasDevice = false;
    m_form->Record1Click();
    expectRecordingButton(); // the button switches whether or not recording began
    EXPECT_TRUE(m_desktop.messages.isEmpty());
    m_form->Record1Click();

    expectIdleButton();
    ASSERT_EQ(m_desktop.messages.size(), 1);
    EXPECT_EQ(m_desktop.messages[0].title, QStringLiteral("ERROR"));
    EXPECT_EQ(m_desktop.messages[0].text, kRecordFailed);
    EXPECT_EQ(m_desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(m_form->Edit3->text(), QStringLiteral("https://example.invalid/sample.mp3"));
    EXPECT_TRUE(
        QDir(m_desk.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

TEST_F(AppFormMediaTest, NearlyEmptyRecordingGivesTheBoxAndStays)
{
    m_form->Record1Click();
    m_input->feed(SineTone(0.005)); // 220 frames: 880 bytes of sound
    m_form->Record1Click();

    ASSERT_EQ(m_desktop.messages.size(), 1);
    EXPECT_EQ(m_desktop.messages[0].text, kRecordFailed);
    EXPECT_EQ(m_form->Edit3->text(), QStringLiteral("https://example.invalid/sample.mp3"));
    EXPECT_EQ(FileSizeByAttributes(onDesktop(QStringLiteral("MyRecord.wav"))), 44 + 880);
}

TEST_F(AppFormMediaTest, ClosingTheWindowWhileRecordingSavesACompleteFile)
{
    m_form->Record1Click();
    m_input->feed(SineTone(0.5));
    m_form->close();

    EXPECT_FALSE(m_input->running);
    EXPECT_EQ(Probe(onDesktop(QStringLiteral("MyRecord.wav")), QStringLiteral("stream=duration")),
              QStringLiteral("duration=0.500000"));
    EXPECT_TRUE(m_desktop.messages.isEmpty());
    m_form.reset();
    EXPECT_EQ(QDir(m_desk.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("MyRecord.wav")});
}

TEST_F(AppFormMediaTest, DestroyingTheWindowWhileRecordingSavesACompleteFile)
{
    m_form->Record1Click();
    m_input->feed(SineTone(0.25));
    m_form.reset();
    EXPECT_EQ(FileSizeByAttributes(onDesktop(QStringLiteral("MyRecord.wav"))), 44 + 44100);
}

TEST_F(AppFormMediaTest, LoadPutsTheChosenFileIntoTheAddressField)
{
    m_desktop.openFilesDialogAnswers.push_back({QStringLiteral("/home/user/My Talk.mp4")});
    m_form->Load1->trigger();
    EXPECT_EQ(m_form->Edit3->text(), QStringLiteral("/home/user/My Talk.mp4"));
    ASSERT_EQ(m_desktop.openFilesDialogFilters.size(), 1);
    const QStringList filters = m_desktop.openFilesDialogFilters[0];
    ASSERT_EQ(filters.size(), 4);
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("Audio or Video File|")));
    EXPECT_TRUE(filters[1].startsWith(QStringLiteral("Audio File|")));
    EXPECT_TRUE(filters[2].startsWith(QStringLiteral("Video File|")));
    for (const char* pattern : {"*.mp3", "*.wav", "*.m4a", "*.flac", "*.mp4", "*.mkv", "*.mov"})
        EXPECT_TRUE(filters[0].contains(QLatin1String(pattern))) << pattern;
    // Files without an extension are common on this system; "*.*" would hide them.
    EXPECT_EQ(filters[3], QStringLiteral("All Files|*"));

    m_form->Load1Click(); // cancelled: the field keeps its text
    EXPECT_EQ(m_form->Edit3->text(), QStringLiteral("/home/user/My Talk.mp4"));
    EXPECT_EQ(m_desktop.openFilesDialogFilters.size(), 2);
}

TEST_F(AppFormMediaTest, ConvertOptionStartsCheckedAndEachClickInvertsIt)
{
    EXPECT_TRUE(m_form->ConvertVideoToAudio1->isChecked());
    m_form->ConvertVideoToAudio1->trigger();
    EXPECT_FALSE(m_form->ConvertVideoToAudio1->isChecked());
    m_form->ConvertVideoToAudio1->trigger();
    EXPECT_TRUE(m_form->ConvertVideoToAudio1->isChecked());
}

TEST_F(AppFormMediaTest, ConversionsWriteIntoTheDataFolderAndTheHiddenLog)
{
    const QString tone = QDir(m_appData.path()).filePath(QStringLiteral("my tone.wav"));
    ASSERT_TRUE(MakeToneFile(tone));

    const QString wav = m_form->ConvertToTempWAV(tone);
    EXPECT_EQ(wav, m_form->DataFolder() + QStringLiteral("temp.wav"));
    EXPECT_EQ(m_form->statusPanelText(0), QString());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    const QString mp3 = m_form->VideoToTempMP3(tone);
    EXPECT_EQ(mp3, m_form->DataFolder() + QStringLiteral("temp.mp3"));
    EXPECT_EQ(m_form->statusPanelText(0), QStringLiteral("Converting my tone.wav..."));
    EXPECT_EQ(Probe(mp3, QStringLiteral("stream=codec_name")), QStringLiteral("codec_name=mp3"));

    const QString ogg = m_form->ConvertToTempOGG(QStringLiteral("/no/such/clip.mkv"));
    EXPECT_EQ(ogg, QString());
    EXPECT_EQ(m_form->statusPanelText(0), QStringLiteral("Converting clip.mkv..."));
    EXPECT_TRUE(m_desktop.messages.isEmpty());

    const QString log = m_form->MemoCMD->toPlainText();
    EXPECT_TRUE(log.startsWith(QStringLiteral("MemoCMD\nCommencing processing...\n")));
    EXPECT_EQ(log.count(QStringLiteral("Commencing processing...")), 3);
    EXPECT_EQ(log.count(QStringLiteral("Processing completed successfully.\n"
                                       "**********************************\n\n")),
              3);
    EXPECT_THAT(log.toStdString(), HasSubstr("/no/such/clip.mkv: No such file or directory"));
    EXPECT_FALSE(m_form->MemoCMD->isVisible());
}

} // namespace

namespace {

// The real sound input: without a device it refuses to start (the CI machines have none);
// with one, a short recording through the window gives a valid file.
TEST_F(AppFormMediaTest, RealSoundInputRecordsOrRefusesWithoutADevice)
{
    m_form->setAudioInput(std::make_unique<QtAudioInput>());
    if (QMediaDevices::defaultAudioInput().isNull()) {
        QtAudioInput input;
        EXPECT_FALSE(input.start([](QByteArrayView) {}));
        m_form->Record1Click();
        m_form->Record1Click();
        EXPECT_EQ(m_desktop.messages.size(), 1);
        GTEST_SKIP() << "no sound input device here; the refusal was checked";
    }
    m_form->Record1Click();
    QTest::qWait(300); // a real device delivers in real time
    m_form->Record1Click();
    EXPECT_TRUE(m_desktop.messages.isEmpty());
    EXPECT_EQ(m_form->Edit3->text(), onDesktop(QStringLiteral("MyRecord.wav")));
    EXPECT_EQ(Probe(onDesktop(QStringLiteral("MyRecord.wav")),
                    QStringLiteral("stream=codec_name,sample_rate,channels")),
              QStringLiteral("codec_name=pcm_s16le\nsample_rate=44100\nchannels=2"));
}

} // namespace
