#pragma once

#include "core/appidentity.h"
#include "core/endpoints.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class BackgroundIniWriter;
class Desktop;
class IniFile;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;

// Where the main window finds what it needs at start-up. The program fills it from the
// running system; tests point it at temporary folders and fake services.
struct AppEnvironment {
    QString programFile;   // the program file whose version block names the program
    QString programFolder; // its folder: settings.ini when writable, and Languages
    QString appDataBase;   // the roaming application-data folder
    quint16 userLanguageId = 1033;
    Endpoints endpoints;
};

// The program's only permanent window: menus, toolbar, the work page with the address,
// format and credentials rows, the result pane, and the status bar.
class TAppForm final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAppForm)

public:
    TAppForm(AppEnvironment environment, Desktop& desktop, QWidget* parent = nullptr);
    ~TAppForm() override;

    // Start-up: identity, caption, data folder, settings.ini, the key, the language.
    // Throws what reading the version block or the language file throws; the update
    // check's timer starts all the same.
    void FormCreate();

    const AppIdentity& identity() const { return m_identity; }
    const QString& DataFolder() const { return m_dataFolder; }
    IniFile* SettingsIni() const { return m_settingsIni.get(); }
    const AppEnvironment& environment() const { return m_environment; }
    Desktop& desktop() const { return m_desktop; }

    // Opens the credentials panel and puts the focus into the key field.
    void FocusReplicateAPIKey();
    // Puts the focus into the audio-address field.
    void FocusReplicateAudio();

    QString statusPanelText(int panel) const;
    void setStatusPanelText(int panel, const QString& text);

    // Menus and items.
    QMenu* File1 = nullptr;
    QMenu* Conversion1 = nullptr;
    QMenu* Options1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Load1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* Settings1 = nullptr;
    QAction* Record1 = nullptr;
    QAction* Translate1 = nullptr;
    QAction* Stop1 = nullptr;
    QAction* ConvertVideoToAudio1 = nullptr;
    QAction* Help2 = nullptr;
    QAction* UpdateNotifications1 = nullptr;
    QAction* UpdateNotificationsBar = nullptr;
    QAction* Language1 = nullptr;
    QAction* SendFeedback1 = nullptr;
    QAction* About1 = nullptr;

    // Toolbar.
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButtonConvert = nullptr;
    QToolButton* ToolButton6 = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QToolButton* ToolButton4 = nullptr;

    // Work page.
    QTabWidget* PageControl2 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* Panel5 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QPushButton* Button5 = nullptr;
    QWidget* Panel4 = nullptr;
    QLabel* Label1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;

    // Credentials panel.
    QWidget* Panel7 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* Panel8 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* Button4 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Edit1 = nullptr;

    // Result pane, console pane, status bar.
    QPlainTextEdit* MemoReplicate = nullptr;
    QPlainTextEdit* MemoCMD = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    // Timers.
    QTimer* TimerChecker = nullptr;
    QTimer* TimerReplicate = nullptr;
    QTimer* TimerElapsed = nullptr;

    // Set by the Stop command, which stops the running conversion.
    bool StopRequested = false;

    // Options › Model: the model size sent with each conversion, kept in settings.ini.
    QMenu* Model1 = nullptr;
    QString chosenModelName() const;

    // The queue under the address field, run by Convert while it holds files to convert.
    class QWidget* QueuePanel = nullptr;
    class QListWidget* QueueList = nullptr;
    QPushButton* QueueOpen = nullptr;
    QPushButton* QueueStop = nullptr;
    QPushButton* QueueClear = nullptr;
    QAction* AddToQueue1 = nullptr;
    class ConversionQueue* queue() const { return m_queue; }
    // The files added: dropped several at once, or chosen in Add Files to Queue... or
    // several at once in Load Audio File.... Answers how many were new to the queue.
    int addFilesToQueue(const QStringList& files);
    // Runs the queue when it holds files to convert; false when it holds none.
    bool startQueue();
    void stopQueue();
    void openQueueRow(int row);

public slots:
    void Settings1Click();
    void Edit1Change();
    void Button4Click();
    void Help2Click();
    void Exit1Click();
    void PageControl2Change();
    void Translate1Click();
    void ToolButton6Click();

    // Result pane and conversion job.
    void Save1Click();
    void ConvertUsingReplicate();
    void TimerReplicateTimer();
    void TimerElapsedTimer();

    // Local media tools.
    void Load1Click();
    void Record1Click();

    // The maker's web services.
    void TimerCheckerTimer();
    void UpdateNotifications1Click();
    void SendFeedback1Click();

    // Other windows.
    void About1Click();
    void Language1Click();

protected:
    void dragEnterEvent(class QDragEnterEvent* event) override;
    void dropEvent(class QDropEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildWorkPage();
    void buildCredentialsPanel(QWidget* page);
    void buildStatusBar();
    void buildTimers();
    // Subsystem wiring, each in the file of its subsystem; called once by the constructor.
    void setUpConversion();
    void resumeConversion();
    void setUpMediaTools();
    void setUpServices();
    void setUpAboutWindow();
    void setUpLanguageWindow();
    // Names, descriptions and keyboard paths for assistive technology; runs last.
    void setUpAccessibility();
    void setUpModelChoice();
    void restoreModelChoice();
    void setUpQueue();
    void showQueueRow(int row);
    void updateQueueButtons();

    AppEnvironment m_environment;
    Desktop& m_desktop;
    AppIdentity m_identity;
    QString m_dataFolder;
    std::unique_ptr<IniFile> m_settingsIni;
    // Writes the key field's every keystroke without making the window wait for the disk.
    BackgroundIniWriter* m_keyWriter = nullptr;
    QLabel* m_statusPanels[2] = {nullptr, nullptr};
    class QActionGroup* m_modelGroup = nullptr;
    class ConversionQueue* m_queue = nullptr;

    // Conversion job state.
public:
    // The result pane's pop-up menu and its items.
    QMenu* PopupMenu2 = nullptr;
    QAction* U1 = nullptr;
    QAction* C1 = nullptr;
    QAction* C2 = nullptr;
    QAction* P1 = nullptr;
    QAction* D1 = nullptr;
    QAction* S1 = nullptr;
    // Back to idle: the Convert button enabled, the clock stopped.
    void NormaleDon();
    class ConversionJob* conversionJob() const { return m_conversionJob; }

private:
    class ConversionJob* m_conversionJob = nullptr;

    // Local media tools state.
public:
    // ffmpeg's temporary audio files in DataFolder: the path produced, or empty. Nothing
    // calls them in this edition.
    QString VideoToTempMP3(const QString& VideoFile);
    QString ConvertToTempWAV(const QString& AudioOrVideoFile);
    QString ConvertToTempOGG(const QString& AudioOrVideoFile);
    // Where recordings go instead of the user's desktop folder; empty for the desktop.
    void setDesktopFolder(const QString& folder);
    // Replaces the sound input device (tests feed synthetic sound through it).
    void setAudioInput(std::unique_ptr<class AudioInput> input);
    // ToolButton4's picture: 56 the microphone (idle), 55 the stop sign (recording).
    int ToolButton4ImageIndex() const;
    // The file dialog's filter of Load Audio File...
    static QStringList LoadFileFilter();

private:
    // Start-up: the video-to-audio option as settings.ini keeps it.
    void restoreMediaOptions();
    // The Stop command is there, and enabled, only while a conversion runs.
    void showStopCommand(bool running);

    class TAppFormMedia* m_media = nullptr; // a child object; ends a running recording

    // Maker's web services state.
public:
    // What the update check takes from the system (store, today, machine); tests replace
    // it before the first tick of TimerChecker.
    struct UpdateCheckEnvironment& updateCheckEnvironment();
    class UpdateCheckDriver* updateCheck() const { return m_updateCheck; }
    // The new-version notice, once the check has announced one.
    class TNewVer* NewVer() const { return m_newVer; }
    // Every time-out of the feedback window's request.
    int feedbackTimeoutMs = 3000;

private:
    std::shared_ptr<struct UpdateCheckEnvironment> m_updateCheckEnvironment;
    class UpdateCheckDriver* m_updateCheck = nullptr;
    class TNewVer* m_newVer = nullptr;

    // About window state.

    // Language window state.
public:
    // Keeps the chosen language file name in settings.ini, so that the next start loads it.
    void SetLanguageFile(const QString& Filename);
    // Ends the program after a confirmed change of language; tests replace it.
    std::function<void()> quitApplication;
    // The language window while it is open, else null.
    class TTranslateForm* TranslateForm() const;

private:
    // Start-up's load of the catalogue: the saved choice, else the automatic one.
    void loadChosenLanguage();
    // Cleared by Qt when the window is freed, also while the main window itself is torn down.
    QPointer<class TTranslateForm> m_translateForm;
};
