#include "app/appform.h"

#include "app/appicons.h"
#include "app/startup.h"
#include "language/textcatalogue.h"
#include "platform/backgroundiniwriter.h"
#include "platform/desktop.h"
#include "platform/inifile.h"
#include "transcription/conversionjob.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kClientWidth = 684;
constexpr int kClientHeight = 493;
constexpr int kLabelWidth = 100;

const QString kSettingsSection = QStringLiteral("Settings");
const QString kKeyName = QStringLiteral("Key");

// The toolbar's background: a gradient from light blue at the top to the button face at
// the bottom, painted directly (a style sheet would slow the window's start-up).
class ToolBarBackground final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, QColor(170, 213, 255));
        gradient.setColorAt(1, palette().color(QPalette::Button));
        QPainter(this).fillRect(rect(), gradient);
    }
};

QWidget* makeRow(QWidget* parent)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(6, 4, 6, 4);
    return row;
}

QLabel* makeFixedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFixedWidth(kLabelWidth);
    return label;
}

} // namespace

TAppForm::TAppForm(AppEnvironment environment, Desktop& desktop, QWidget* parent)
    : QMainWindow(parent)
    , m_environment(std::move(environment))
    , m_desktop(desktop)
{
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setWindowIcon(AppIcons::program());
    buildMenus();
    buildToolBar();
    buildWorkPage();
    buildStatusBar();
    buildTimers();
    setUpConversion();
    setUpMediaTools();
    setUpServices();
    setUpAboutWindow();
    setUpLanguageWindow();
    setUpModelChoice();
    setUpQueue();

    // The client area is 684 x 493 below the menu bar, as the window was designed.
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setUpAccessibility();
}

TAppForm::~TAppForm() = default;

void TAppForm::buildMenus()
{
    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    Load1 = File1->addAction(QStringLiteral("Load Audio File..."), this, &TAppForm::Load1Click);
    Save1 = File1->addAction(QStringLiteral("Save File..."), this, &TAppForm::Save1Click);
    File1->addSeparator();
    Exit1 = File1->addAction(QStringLiteral("Exit"), this, &TAppForm::Exit1Click);

    Conversion1 = menuBar()->addMenu(QStringLiteral("&Conversion"));
    Settings1 = Conversion1->addAction(QStringLiteral("Settings"), this, &TAppForm::Settings1Click);
    Settings1->setCheckable(true);
    Conversion1->addSeparator();
    Record1 = Conversion1->addAction(QStringLiteral("Record"), this, &TAppForm::Record1Click);
    Translate1 =
        Conversion1->addAction(QStringLiteral("Convert"), this, &TAppForm::Translate1Click);
    // Shown only while a conversion runs.
    Stop1 = Conversion1->addAction(QStringLiteral("Stop"), this, &TAppForm::ToolButton6Click);
    Stop1->setVisible(false);
    Stop1->setEnabled(false);

    Options1 = menuBar()->addMenu(QStringLiteral("&Options"));
    ConvertVideoToAudio1 =
        Options1->addAction(QStringLiteral("Convert Video to Audio Before Uploading"));
    ConvertVideoToAudio1->setCheckable(true);
    ConvertVideoToAudio1->setChecked(true);

    Help1 = menuBar()->addMenu(QStringLiteral("&Help"));
    Help2 = Help1->addAction(QStringLiteral("Online Help"), this, &TAppForm::Help2Click);
    Help2->setShortcut(QKeySequence(Qt::Key_F1));
    Help2->setShortcutContext(Qt::ApplicationShortcut);
    Help1->addSeparator();
    UpdateNotifications1 = Help1->addAction(QStringLiteral("Update Notifications"), this,
                                            &TAppForm::UpdateNotifications1Click);
    UpdateNotifications1->setCheckable(true);
    UpdateNotifications1->setChecked(true);
    UpdateNotifications1->setEnabled(false);
    UpdateNotificationsBar = Help1->addSeparator();
    Language1 = Help1->addAction(QStringLiteral("Language..."), this, &TAppForm::Language1Click);
    Language1->setVisible(false);
    SendFeedback1 =
        Help1->addAction(QStringLiteral("Send &Feedback..."), this, &TAppForm::SendFeedback1Click);
    About1 = Help1->addAction(QStringLiteral("&About..."), this, &TAppForm::About1Click);
}

void TAppForm::buildToolBar()
{
    ToolBar1 = new QToolBar(QStringLiteral("ToolBar1"), this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->toggleViewAction()->setVisible(false);
    ToolBar1->setFixedHeight(85);
    ToolBar1->setContentsMargins(0, 0, 0, 0);
    ToolBar1->layout()->setContentsMargins(0, 0, 0, 0);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    // Buttons sit in one strip, so that hiding a button closes its gap; the strip paints
    // the toolbar's gradient.
    auto* strip = new ToolBarBackground(ToolBar1);
    strip->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ToolBar1->addWidget(strip);

    // Each button forwards to its menu item, whose handler runs even when the item is hidden.
    const auto addButton = [&](const QString& caption, const QString& hint, const QIcon& icon,
                               QAction* forwardTo) {
        auto* button = new QToolButton(strip);
        button->setText(caption);
        button->setToolTip(hint);
        button->setIcon(icon);
        button->setIconSize(QSize(64, 64));
        button->setFixedSize(71, 84);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        layout->addWidget(button);
        if (forwardTo)
            connect(button, &QToolButton::clicked, forwardTo, &QAction::trigger);
        return button;
    };
    ToolButtonConvert = addButton(QStringLiteral("Convert"), QStringLiteral("Convert"),
                                  AppIcons::convert(), Translate1);
    ToolButton6 =
        addButton(QStringLiteral("Stop"), QStringLiteral("Stop"), AppIcons::stop(), nullptr);
    connect(ToolButton6, &QToolButton::clicked, this, &TAppForm::ToolButton6Click);
    ToolButton6->setAccessibleName(QStringLiteral("Stop"));
    ToolButton6->setAccessibleDescription(QStringLiteral("Stops the running conversion"));
    ToolButton6->setVisible(false);
    ToolButton6->setEnabled(false);
    ToolButton1 = addButton(QStringLiteral("Load"), QStringLiteral("Load Audio File"),
                            AppIcons::load(), Load1);
    ToolButton1->setAccessibleName(QStringLiteral("Load"));
    ToolButton1->setAccessibleDescription(
        QStringLiteral("Chooses an audio or video file on this computer"));
    ToolButton2 = addButton(QStringLiteral("Save"), QStringLiteral("Save Text File"),
                            AppIcons::save(), Save1);
    ToolButton3 = addButton(QStringLiteral("Settings"), QStringLiteral("Settings"),
                            AppIcons::settings(), Settings1);
    ToolButton4 =
        addButton(QStringLiteral("Record"), QStringLiteral("Record"), AppIcons::record(), Record1);
    ToolButton4->setAccessibleName(QStringLiteral("Record"));
    ToolButton4->setAccessibleDescription(
        QStringLiteral("Records from the microphone; click again to stop"));
    layout->addStretch(1);
}

void TAppForm::buildWorkPage()
{
    auto* central = new QWidget(this);
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    setCentralWidget(central);

    PageControl2 = new QTabWidget(central);
    QFont tabFont(QStringLiteral("Tahoma"));
    tabFont.setPixelSize(16);
    PageControl2->tabBar()->setFont(tabFont);
    centralLayout->addWidget(PageControl2, 1);

    TabSheet2 = new QWidget();
    auto* pageLayout = new QVBoxLayout(TabSheet2);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    PageControl2->addTab(TabSheet2, AppIcons::page(), QStringLiteral("Replicate API"));
    // Connected after the page exists: only a switch made by the user counts as a change.
    connect(PageControl2, &QTabWidget::currentChanged, this, &TAppForm::PageControl2Change);

    Panel5 = makeRow(TabSheet2);
    Label2 = makeFixedLabel(QStringLiteral("Audio File URL:"), Panel5);
    Edit3 = new QLineEdit(m_environment.endpoints.sampleAudio().toString(), Panel5);
    Button5 = new QPushButton(QStringLiteral("Load..."), Panel5);
    Button5->setAccessibleName(QStringLiteral("Load audio file"));
    Button5->setAccessibleDescription(
        QStringLiteral("Chooses an audio or video file and puts its path into the address"));
    connect(Button5, &QPushButton::clicked, Load1, &QAction::trigger);
    Panel5->layout()->addWidget(Label2);
    Panel5->layout()->addWidget(Edit3);
    Panel5->layout()->addWidget(Button5);
    pageLayout->addWidget(Panel5);

    Panel4 = makeRow(TabSheet2);
    Label1 = makeFixedLabel(QStringLiteral("Output Format:"), Panel4);
    RadioButton1 = new QRadioButton(QStringLiteral("VTT"), Panel4);
    RadioButton2 = new QRadioButton(QStringLiteral("SRT"), Panel4);
    RadioButton1->setChecked(true);
    auto* formatLayout = static_cast<QHBoxLayout*>(Panel4->layout());
    formatLayout->addWidget(Label1);
    formatLayout->addWidget(RadioButton1);
    formatLayout->addWidget(RadioButton2);
    formatLayout->addStretch(1);
    pageLayout->addWidget(Panel4);

    buildCredentialsPanel(TabSheet2);
    pageLayout->addWidget(Panel7);

    MemoReplicate = new QPlainTextEdit(TabSheet2);
    MemoReplicate->setObjectName(QStringLiteral("MemoReplicate"));
    QFont paneFont(QStringLiteral("Tahoma"));
    paneFont.setPixelSize(13);
    MemoReplicate->setFont(paneFont);
    MemoReplicate->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    MemoReplicate->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette panePalette = MemoReplicate->palette();
    panePalette.setColor(QPalette::Base, panePalette.color(QPalette::Button));
    MemoReplicate->setPalette(panePalette);
    pageLayout->addWidget(MemoReplicate, 1);

    MemoCMD = new QPlainTextEdit(QStringLiteral("MemoCMD"), central);
    MemoCMD->setFixedHeight(58);
    MemoCMD->setVisible(false);
    centralLayout->addWidget(MemoCMD);
}

void TAppForm::buildCredentialsPanel(QWidget* page)
{
    Panel7 = new QWidget(page);
    Panel7->setFixedHeight(94);
    Panel7->setVisible(false);
    auto* panelLayout = new QVBoxLayout(Panel7);
    panelLayout->setContentsMargins(4, 2, 4, 2);

    PageControl1 = new QTabWidget(Panel7);
    panelLayout->addWidget(PageControl1);
    TabSheet1 = new QWidget();
    PageControl1->addTab(TabSheet1, QStringLiteral("Settings"));
    auto* sheetLayout = new QVBoxLayout(TabSheet1);
    sheetLayout->setContentsMargins(6, 2, 6, 4);
    sheetLayout->setSpacing(2);

    Panel8 = new QWidget(TabSheet1);
    auto* headerLayout = new QHBoxLayout(Panel8);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    Label3 = new QLabel(QStringLiteral("Replicate Credentials"), Panel8);
    Label3->setTextFormat(Qt::PlainText);
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);
    Button4 = new QPushButton(AppIcons::key(), QStringLiteral("Get API Key"), Panel8);
    Button4->setFixedWidth(183);
    connect(Button4, &QPushButton::clicked, this, &TAppForm::Button4Click);
    headerLayout->addWidget(Label3);
    headerLayout->addStretch(1);
    headerLayout->addWidget(Button4);
    sheetLayout->addWidget(Panel8);

    Label4 = new QLabel(QStringLiteral("Replicate API Key:"), TabSheet1);
    Label4->setTextFormat(Qt::PlainText);
    Edit1 = new QLineEdit(TabSheet1);
    connect(Edit1, &QLineEdit::textChanged, this, &TAppForm::Edit1Change);
    sheetLayout->addWidget(Label4);
    sheetLayout->addWidget(Edit1);
}

void TAppForm::buildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(true);
    setStatusBar(StatusBar1);
    const int widths[2] = {425, 100};
    for (int i = 0; i < 2; ++i) {
        m_statusPanels[i] = new QLabel(StatusBar1);
        // The panels show file names and the service's texts as they are, never as markup.
        m_statusPanels[i]->setTextFormat(Qt::PlainText);
        m_statusPanels[i]->setFixedWidth(widths[i]);
        StatusBar1->addWidget(m_statusPanels[i]);
    }
}

void TAppForm::buildTimers()
{
    TimerChecker = new QTimer(this);
    TimerChecker->setInterval(1000);
    connect(TimerChecker, &QTimer::timeout, this, &TAppForm::TimerCheckerTimer);
    TimerReplicate = new QTimer(this);
    TimerReplicate->setInterval(1000);
    connect(TimerReplicate, &QTimer::timeout, this, &TAppForm::TimerReplicateTimer);
    TimerElapsed = new QTimer(this);
    TimerElapsed->setInterval(1000);
    connect(TimerElapsed, &QTimer::timeout, this, &TAppForm::TimerElapsedTimer);
}

void TAppForm::FormCreate()
{
    // The update check's timer starts however the rest ends: a language file that cannot
    // be read must not cost the update check and its menu item for the whole run.
    const auto startUpdateCheck = qScopeGuard([this] { TimerChecker->start(); });

    m_identity = ReadAppIdentity(m_environment.programFile);
    setWindowTitle(m_identity.AppTitle);
    // A file dropped on the window goes into the address field.
    setAcceptDrops(true);

    m_dataFolder = ChooseDataFolder(m_environment.programFolder, m_environment.appDataBase,
                                    m_identity.AppCompany, m_identity.AppProduct);
    m_settingsIni = std::make_unique<IniFile>(m_dataFolder + QStringLiteral("settings.ini"));
    delete m_keyWriter;
    m_keyWriter = new BackgroundIniWriter(m_settingsIni->path(), this);
    connect(m_keyWriter, &BackgroundIniWriter::writeFailed, this, [this](const QString& message) {
        m_desktop.showMessage(QStringLiteral("Parlotext"), message, MessageIcon::Error);
    });
    if (const auto key = m_settingsIni->readString(kSettingsSection, kKeyName)) {
        // The text is only replaced when it differs; a restored key is written back as is.
        if (Edit1->text() != *key)
            Edit1->setText(*key);
    }

    restoreModelChoice();
    m_conversionJob->setDataFolder(m_dataFolder);
    restoreMediaOptions();
    resumeConversion();

    loadChosenLanguage();
}

void TAppForm::dragEnterEvent(QDragEnterEvent* event)
{
    event->acceptProposedAction();
}

void TAppForm::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    // One recording at a time: the first local file of the drop.
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            Edit3->setText(QDir::toNativeSeparators(url.toLocalFile()));
            return;
        }
    }
}

QString TAppForm::statusPanelText(int panel) const
{
    return m_statusPanels[panel]->text();
}

void TAppForm::setStatusPanelText(int panel, const QString& text)
{
    m_statusPanels[panel]->setText(text);
}

void TAppForm::FocusReplicateAPIKey()
{
    Settings1->setChecked(true);
    Panel7->setVisible(true);
    Edit1->setFocus();
}

void TAppForm::FocusReplicateAudio()
{
    Edit3->setFocus();
}

void TAppForm::Settings1Click()
{
    // QAction toggles its own check mark before this runs when triggered from the menu;
    // the panel follows the mark, so both always agree.
    Panel7->setVisible(Settings1->isChecked());
}

void TAppForm::Edit1Change()
{
    // The key is one line. Line breaks pasted with it (common when copying a token) are
    // removed, not replaced: a token broken over lines is one word again, and no break can
    // end the entry in settings.ini early and start stray lines there.
    const QString text = Edit1->text();
    QString oneLine = text;
    oneLine.remove(QLatin1Char('\r'));
    oneLine.remove(QLatin1Char('\n'));
    if (oneLine != text) {
        const QString beforeCursor = text.left(Edit1->cursorPosition());
        const qsizetype cursor = beforeCursor.size() - beforeCursor.count(QLatin1Char('\r')) -
                                 beforeCursor.count(QLatin1Char('\n'));
        Edit1->setText(oneLine); // comes back here with the one line, which is then written
        Edit1->setCursorPosition(int(cursor));
        return;
    }
    // The write happens on the writer's thread: typing never waits for the disk, and the
    // last value is written before the window goes.
    if (m_keyWriter)
        m_keyWriter->writeString(kSettingsSection, kKeyName, text);
}

void TAppForm::Button4Click()
{
    m_desktop.openUrl(m_environment.endpoints.replicateTokenPage());
}

void TAppForm::Help2Click()
{
    m_desktop.openUrl(HelpAddress(m_environment.endpoints.makerWeb, m_identity.AppProduct));
}

void TAppForm::Exit1Click()
{
    close();
    QApplication::quit();
}

void TAppForm::PageControl2Change()
{
    const int page = PageControl2->currentIndex();
    if (page < 0 || page > 3)
        return;
    for (QToolButton* button :
         {ToolButton1, ToolButton2, ToolButton3, ToolButton4, ToolButtonConvert})
        button->setVisible(true);
    ToolButton6->setVisible(false);
}

void TAppForm::Translate1Click()
{
    if (PageControl2->currentIndex() == 0 && !startQueue())
        ConvertUsingReplicate();
}

void TAppForm::ToolButton6Click()
{
    StopRequested = true;
    stopQueue();
    m_conversionJob->Stop();
}

void TAppForm::showStopCommand(bool running)
{
    ToolButton6->setVisible(running);
    ToolButton6->setEnabled(running);
    Stop1->setVisible(running);
    Stop1->setEnabled(running);
}
