// The main window's side of the local media tools: loading a file, recording, and the
// temporary audio files made by ffmpeg.
#include "app/appform.h"

#include "app/appicons.h"
#include "media/loadedaudioinput.h"
#include "media/mediafiles.h"
#include "media/plaintextlog.h"
#include "media/recording.h"
#include "media/tempaudio.h"
#include "platform/desktop.h"
#include "platform/folders.h"
#include "platform/inifile.h"
#include "transcription/conversionjob.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

namespace {

constexpr int kMicrophoneImage = 56;
constexpr int kStopImage = 55;
const char* const kImageIndexProperty = "imageIndex";

const QString kSettingsSection = QStringLiteral("Settings");
const QString kVideoToAudioKey = QStringLiteral("ConvertVideoToAudio");

const QString kRecordFailed =
    QStringLiteral("Something went wrong! Please check microphone device.");

} // namespace

// The recording in progress and the sound input. A child of the window: a close ends a
// running recording into a complete file, and so does the window's end when no close came.
class TAppFormMedia final : public QObject {
public:
    explicit TAppFormMedia(TAppForm& form)
        : QObject(&form)
        , m_input(std::make_unique<LoadedAudioInput>(
              AudioModuleFolders(form.environment().programFolder)))
        , m_recording(std::make_unique<WavRecording>(*m_input))
    {
        form.installEventFilter(this);
    }
    ~TAppFormMedia() override { m_recording.reset(); }

    void setAudioInput(std::unique_ptr<AudioInput> input)
    {
        m_recording.reset();
        m_input = std::move(input);
        m_recording = std::make_unique<WavRecording>(*m_input);
    }

    WavRecording& recording() { return *m_recording; }
    QString desktopFolder() const
    {
        return m_desktopFolder.isEmpty() ? DesktopFolder() : m_desktopFolder;
    }
    QString m_desktopFolder;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close && m_recording->isRecording())
            m_recording->finish(NextRecordingPath(desktopFolder()));
        return QObject::eventFilter(watched, event);
    }

private:
    std::unique_ptr<AudioInput> m_input;
    std::unique_ptr<WavRecording> m_recording; // declared after the input it reads
};

namespace {

// The window as the conversions see it: status panel 0, the cursor, the hidden log pane.
class FormTempAudioHost final : public TempAudioHost {
public:
    explicit FormTempAudioHost(TAppForm& form)
        : m_form(form)
    {
    }
    void showStatus(const QString& text) override
    {
        m_form.setStatusPanelText(0, text);
        // One pass so the text is painted before the wait; input waits, so that no
        // command of the window starts in the middle of this one.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void setBusyCursor(bool busy) override
    {
        if (busy)
            QApplication::setOverrideCursor(Qt::BusyCursor);
        else
            QApplication::restoreOverrideCursor();
    }
    void runCommand(const QString& commandLine, const QString& workingFolder) override
    {
        RunConsoleCommand(commandLine, workingFolder, m_form.MemoCMD);
    }
    void showError(const QString& text) override
    {
        m_form.desktop().showMessage(QStringLiteral("ERROR"), text, MessageIcon::Error);
    }

private:
    TAppForm& m_form;
};

} // namespace

void TAppForm::setUpMediaTools()
{
    m_media = new TAppFormMedia(*this);
    // The console log only grows; an undo history would keep a second copy of all of it.
    MemoCMD->setUndoRedoEnabled(false);
    ToolButton4->setProperty(kImageIndexProperty, kMicrophoneImage);

    connect(m_conversionJob, &ConversionJob::runningChanged, this, &TAppForm::showStopCommand);
    // Each change of the option is kept at once, as the key is.
    connect(ConvertVideoToAudio1, &QAction::toggled, this, [this](bool checked) {
        if (!m_settingsIni)
            return;
        try {
            m_settingsIni->writeString(kSettingsSection, kVideoToAudioKey,
                                       checked ? QStringLiteral("1") : QStringLiteral("0"));
        } catch (const IniWriteError& error) {
            m_desktop.showMessage(QStringLiteral("Parlotext"), QString::fromStdString(error.what()),
                                  MessageIcon::Error);
        }
    });
}

void TAppForm::restoreMediaOptions()
{
    // Checked unless settings.ini says "0": a missing or unreadable value keeps the default.
    const auto kept = m_settingsIni->readString(kSettingsSection, kVideoToAudioKey);
    const bool checked = !kept || kept->trimmed() != QStringLiteral("0");
    if (ConvertVideoToAudio1->isChecked() != checked)
        ConvertVideoToAudio1->setChecked(checked);
}

QStringList TAppForm::LoadFileFilter()
{
    return {
        QStringLiteral("Audio or Video File|*.mp3;*.flac;*.wav;*.ogg;*.oga;*.opus;*.m4a;*.aac;"
                       "*.wma;*.webm;*.mp4;*.m4v;*.mkv;*.avi;*.mpg;*.mpeg;*.mov;*.wmv;*.flv;*.ts;"
                       "*.3gp"),
        QStringLiteral("Audio File|*.mp3;*.flac;*.wav;*.ogg;*.oga;*.opus;*.m4a;*.aac;*.wma;*.webm"),
        QStringLiteral("Video File|*.mp4;*.m4v;*.webm;*.mkv;*.avi;*.mpg;*.mpeg;*.mov;*.wmv;*.flv;"
                       "*.ts;*.3gp"),
        // "*" rather than "*.*": on this system many files have no extension.
        QStringLiteral("All Files|*"),
    };
}

int TAppForm::ToolButton4ImageIndex() const
{
    return ToolButton4->property(kImageIndexProperty).toInt();
}

void TAppForm::setDesktopFolder(const QString& folder)
{
    m_media->m_desktopFolder = folder;
}

void TAppForm::setAudioInput(std::unique_ptr<AudioInput> input)
{
    m_media->setAudioInput(std::move(input));
}

void TAppForm::Load1Click()
{
    if (PageControl2->currentIndex() != 0)
        return;
    const QStringList files = m_desktop.chooseOpenFiles(LoadFileFilter());
    // Several files go into the queue, as when they are dropped together.
    if (files.size() > 1)
        addFilesToQueue(files);
    else if (files.size() == 1 && !files.constFirst().isEmpty())
        Edit3->setText(files.constFirst());
}

void TAppForm::Record1Click()
{
    WavRecording& recording = m_media->recording();
    // The button's picture carries the state: each command does the opposite of the last.
    if (ToolButton4ImageIndex() == kMicrophoneImage) {
        recording.start(m_media->desktopFolder());
        ToolButton4->setProperty(kImageIndexProperty, kStopImage);
        ToolButton4->setIcon(AppIcons::stop());
        ToolButton4->setText(QStringLiteral("Stop"));
        ToolButton4->setToolTip(QStringLiteral("Stop"));
        return;
    }
    const QString target = NextRecordingPath(m_media->desktopFolder());
    recording.finish(target);
    ToolButton4->setProperty(kImageIndexProperty, kMicrophoneImage);
    ToolButton4->setIcon(AppIcons::record());
    ToolButton4->setText(QStringLiteral("Record"));
    ToolButton4->setToolTip(QStringLiteral("Record"));
    if (FileSizeByAttributes(target) > 1024)
        Edit3->setText(target);
    else
        m_desktop.showMessage(QStringLiteral("ERROR"), kRecordFailed, MessageIcon::Error);
}

QString TAppForm::VideoToTempMP3(const QString& VideoFile)
{
    FormTempAudioHost host(*this);
    return ConvertToTempAudio(TempAudioKind::Mp3, VideoFile, m_dataFolder,
                              m_environment.programFolder, host);
}

QString TAppForm::ConvertToTempWAV(const QString& AudioOrVideoFile)
{
    FormTempAudioHost host(*this);
    return ConvertToTempAudio(TempAudioKind::Wav, AudioOrVideoFile, m_dataFolder,
                              m_environment.programFolder, host);
}

QString TAppForm::ConvertToTempOGG(const QString& AudioOrVideoFile)
{
    FormTempAudioHost host(*this);
    return ConvertToTempAudio(TempAudioKind::Ogg, AudioOrVideoFile, m_dataFolder,
                              m_environment.programFolder, host);
}
