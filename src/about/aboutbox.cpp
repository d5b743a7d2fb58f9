#include "about/aboutbox.h"

#include "about/aboutpictures.h"
#include "language/textcatalogue.h"
#include "platform/desktop.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

constexpr QSize kClientSize(446, 374);
constexpr QRect kPanel1(48, 42, 350, 291);

QFont tahoma(int pixels)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    return font;
}

const char* const kButtonStyle = "QPushButton { color: white; background: #1c1c1c;"
                                 " border: 1px solid #5a5a5a; padding: 0 8px; }"
                                 "QPushButton:hover { background: #2a2a2a; }"
                                 "QPushButton:focus { border: 1px solid #46e678; }"
                                 "QPushButton:pressed { background: #0f3a20; }";

} // namespace

// The effect's drawing target: the window's own surface, a picture the window shows as
// its background, so the characters are seen wherever no child control covers them.
class TAboutBox::Surface final : public MatrixSurface {
public:
    explicit Surface(QImage& image)
        : m_image(image)
    {
    }

    void fillBlack(const QRect& area) override
    {
        QPainter painter(&m_image);
        painter.fillRect(area, Qt::black);
    }

    void drawCharacter(QChar character, QPoint position, MatrixColour colour) override
    {
        QPainter painter(&m_image);
        const QRect cell(position, QSize(8, 12));
        painter.fillRect(cell, Qt::black);
        QFont font = painter.font();
        font.setPixelSize(12);
        painter.setFont(font);
        painter.setPen(QColor(colour.red, colour.green, colour.blue));
        painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop, QString(character));
    }

private:
    QImage& m_image;
};

TAboutBox::TAboutBox(const AboutBoxInfo& info, Desktop& desktop, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_info(info)
    , m_desktop(desktop)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The window paints its whole surface itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(kClientSize);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, Qt::white);
    setPalette(black);

    tickCount = [] {
        static QElapsedTimer clock;
        if (!clock.isValid())
            clock.start();
        return quint32(quint64(clock.elapsed()));
    };
    showPopup = [](QMenu* menu, QPoint screenPoint) {
        menu->exec(screenPoint);
    };
    pixelRatio = [this] {
        return devicePixelRatioF();
    };

    Panel1 = new QWidget(this);
    Panel1->setGeometry(kPanel1);
    Panel1->setAutoFillBackground(true);
    Panel1->setPalette(black);
    Panel1->setFont(tahoma(11));

    Image2 = new QLabel(Panel1);
    Image2->setGeometry(3, 3, 344, 105);
    Image2->setScaledContents(true);

    Bevel1 = new QFrame(Panel1);
    Bevel1->setGeometry(9, 122, 34, 34);
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setStyleSheet(QStringLiteral("color: #5a5a5a;"));
    Bevel1->setAttribute(Qt::WA_NoMousePropagation);

    Image1 = new QLabel(Panel1);
    Image1->setGeometry(10, 123, 32, 32);
    Image1->setAlignment(Qt::AlignCenter);

    Label2 = new QLabel(Panel1);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setGeometry(49, 122, 290, 40);
    Label2->setFont(tahoma(16));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setStyleSheet(QStringLiteral("color: white;"));

    BitBtn1 = new QPushButton(Panel1);
    BitBtn1->setGeometry(49, 224, 122, 33);
    BitBtn1->setFont(tahoma(16));
    BitBtn1->setStyleSheet(QString::fromLatin1(kButtonStyle));
    connect(BitBtn1, &QPushButton::clicked, this, &TAboutBox::BitBtn1Click);

    BitBtn2 = new QPushButton(Panel1);
    BitBtn2->setGeometry(177, 224, 122, 33);
    BitBtn2->setFont(tahoma(16));
    BitBtn2->setStyleSheet(QString::fromLatin1(kButtonStyle));
    // The arrow sits on the right of the caption.
    BitBtn2->setLayoutDirection(Qt::RightToLeft);
    connect(BitBtn2, &QPushButton::clicked, this, &TAboutBox::BitBtn2Click);
    setTabOrder(BitBtn1, BitBtn2);

    Label5 = new QLabel(Panel1);
    Label5->setTextFormat(Qt::PlainText);
    Label5->setGeometry(3, kPanel1.height() - 3 - 16, kPanel1.width() - 6, 16);
    Label5->setAlignment(Qt::AlignCenter);
    QFont linkFont(QStringLiteral("MS Sans Serif"));
    linkFont.setPixelSize(11);
    linkFont.setUnderline(true);
    Label5->setFont(linkFont);
    Label5->setStyleSheet(QStringLiteral("color: lime;"));
    Label5->setCursor(Qt::PointingHandCursor);
    Label5->setText(MakerWebAddress(m_info.makerWeb));
    Label5->setToolTip(MakerHomePage(m_info.makerWeb).toString());

    PanelEgg = new QWidget(this);
    PanelEgg->resize(324, 220);
    PanelEgg->setAutoFillBackground(true);
    PanelEgg->setPalette(black);
    PanelEgg->setAttribute(Qt::WA_NoMousePropagation);
    PanelEgg->hide();
    ImageEgg = new QLabel(PanelEgg);
    ImageEgg->setGeometry(2, 3, 320, 214);
    ImageEgg->setScaledContents(true);
    // The picture lies under the content panel until the panel slides away.
    Panel1->raise();

    PopupMenu1 = new QMenu(this);
    Credits1 = PopupMenu1->addAction(QString(), this, &TAboutBox::Credits1Click);
    Howtouninstall1 = PopupMenu1->addAction(QString(), this, &TAboutBox::Howtouninstall1Click);
    LicensePrivacyPolicy1 =
        PopupMenu1->addAction(QString(), this, &TAboutBox::LicensePrivacyPolicy1Click);

    tmTimer = new QTimer(this);
    connect(tmTimer, &QTimer::timeout, this, &TAboutBox::tmTimerTimer);
    TimerEgg = new QTimer(this);
    TimerEgg->setInterval(5);
    connect(TimerEgg, &QTimer::timeout, this, &TAboutBox::TimerEggTimer);

    // Presses on these parts drag the window; the buttons and the link keep theirs.
    for (QWidget* part : {Panel1, static_cast<QWidget*>(Image1), static_cast<QWidget*>(Label2),
                          static_cast<QWidget*>(Image2), static_cast<QWidget*>(ImageEgg)})
        part->installEventFilter(this);
    Label5->installEventFilter(this);
    BitBtn1->installEventFilter(this);
    BitBtn2->installEventFilter(this);

    FormCreate();
    setUpAccessibility();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::FormCreate()
{
    m_effect.MatrixChars = QStringLiteral("kiv");
    StartMatrix();
    setWindowTitle(
        FormatOneString(TranslateText(QStringLiteral("About %s")), m_info.identity.AppProduct));
    Image1->setPixmap(m_info.appIcon.pixmap(QSize(32, 32), pixelRatio()));
    Label2->setText(m_info.identity.AppProduct + QLatin1Char(' ') + m_info.identity.AppVersion);
    BitBtn1->setText(TranslateText(QStringLiteral("OK")));
    BitBtn2->setText(TranslateText(QStringLiteral("Info")));
    Credits1->setText(TranslateText(QStringLiteral("Acknowledgements...")));
    Howtouninstall1->setText(TranslateText(QStringLiteral("How to uninstall...")));
    LicensePrivacyPolicy1->setText(TranslateText(QStringLiteral("License...")));
    HighDPIImageYukle();
    PanelEgg->move((width() - PanelEgg->width()) / 2, (height() - PanelEgg->height()) / 2);
}

void TAboutBox::StartMatrix()
{
    m_surface = QImage(size(), QImage::Format_RGB32);
    Surface surface(m_surface);
    m_effect.StartMatrix(surface, frameGeometry().size());
    tmTimer->setInterval(50);
    tmTimer->start();
}

void TAboutBox::HighDPIImageYukle()
{
    const qreal ratio = pixelRatio();
    Image2->clear();
    Image2->setPixmap(AboutPictures::logo(m_info.identity.AppProduct, ratio));
    ImageEgg->clear();
    ImageEgg->setPixmap(AboutPictures::cat(ratio));
    BitBtn2->setIcon(QIcon(AboutPictures::arrow(ratio)));
    BitBtn2->setIconSize(QSize(12, 12));
}

void TAboutBox::FormAfterMonitorDpiChanged()
{
    HighDPIImageYukle();
}

void TAboutBox::tmTimerTimer()
{
    Surface surface(m_surface);
    m_effect.StepMatrix(surface);
    update();
}

void TAboutBox::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(0, 0, m_surface);
}

void TAboutBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_surface.size() == size())
        return;
    // A new size rebuilds the drops; the tick counter keeps running.
    m_surface = QImage(size(), QImage::Format_RGB32);
    Surface surface(m_surface);
    m_effect.InitMatrix(surface, frameGeometry().size());
}

void TAboutBox::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_screenWatched || !windowHandle())
        return;
    m_screenWatched = true;
    // Moving to another screen, or a new scale on this one, redraws the pictures.
    const auto watchScreen = [this](QScreen* screen) {
        if (screen)
            connect(screen, &QScreen::logicalDotsPerInchChanged, this,
                    &TAboutBox::FormAfterMonitorDpiChanged, Qt::UniqueConnection);
    };
    connect(windowHandle(), &QWindow::screenChanged, this, [this, watchScreen](QScreen* screen) {
        watchScreen(screen);
        FormAfterMonitorDpiChanged();
    });
    watchScreen(windowHandle()->screen());
}

void TAboutBox::Image1DblClick()
{
    if (TimerEgg->isActive())
        return;
    PanelEgg->show();
    Panel1->raise();
    TimerEgg->start();
}

void TAboutBox::TimerEggTimer()
{
    Panel1->move(Panel1->x() + 5, Panel1->y());
    if (width() < Panel1->x())
        TimerEgg->stop();
}

void TAboutBox::ImageEggDblClick()
{
    if (TimerEgg->isActive())
        return;
    PanelEgg->hide();
    Panel1->move((width() - Panel1->width()) / 2, Panel1->y());
}

void TAboutBox::mousePressEvent(QMouseEvent* event)
{
    FormMouseDown(event);
}

void TAboutBox::mouseMoveEvent(QMouseEvent* event)
{
    FormMouseMove(event);
}

void TAboutBox::mouseReleaseEvent(QMouseEvent* event)
{
    FormMouseUp(event);
}

void TAboutBox::FormMouseDown(QMouseEvent* event)
{
    m_drag.press(event);
}

void TAboutBox::FormMouseMove(QMouseEvent* event)
{
    m_drag.move(event);
}

void TAboutBox::FormMouseUp(QMouseEvent* event)
{
    m_drag.release(event);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == BitBtn1 || watched == BitBtn2) {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        return false;
    }
    if (watched == Label5) {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            Label5->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            Label5Click();
            return true;
        }
        return event->type() == QEvent::MouseButtonPress;
    }
    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        if (watched == Image1)
            Image1DblClick();
        else if (watched == ImageEgg)
            ImageEggDblClick();
        return true;
    case QEvent::MouseButtonPress:
        FormMouseDown(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseMove:
        FormMouseMove(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease:
        FormMouseUp(static_cast<QMouseEvent*>(event));
        return true;
    default:
        return false;
    }
}

void TAboutBox::BitBtn1Click()
{
    close();
}

void TAboutBox::BitBtn2Click()
{
    PopupUnderButton(BitBtn2, PopupMenu1);
}

void TAboutBox::PopupUnderButton(QPushButton* button, QMenu* menu)
{
    if (!m_popupGuard.shouldShow(button, menu, tickCount()))
        return;
    const QPoint corner = button->mapToGlobal(QPoint(0, button->height()));
    showPopup(menu, corner);
    m_popupGuard.menuClosed(button, menu, tickCount());
}

void TAboutBox::Label5Click()
{
    m_desktop.openUrl(MakerHomePage(m_info.makerWeb));
}

void TAboutBox::Credits1Click()
{
    m_desktop.openUrl(CreditsPage(m_info.makerWeb));
}

void TAboutBox::Howtouninstall1Click()
{
    m_desktop.openUrl(UninstallPage(m_info.makerWeb));
}

void TAboutBox::LicensePrivacyPolicy1Click()
{
    const QString path = LicenseFile(m_info.programFolder);
    if (QFileInfo(path).isFile()) {
        m_desktop.openUrl(QUrl::fromLocalFile(path));
        return;
    }
    m_desktop.showMessage(TranslateText(QStringLiteral("License")),
                          TranslateText(QStringLiteral("File not found!")), MessageIcon::Error);
}
