#include "services/widgets/newversion.h"

#include "language/textcatalogue.h"
#include "platform/desktop.h"
#include "services/widgets/servicepictures.h"

#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace {

QFont tahoma(int pixels, bool bold = false, bool underline = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

// Only web addresses are handed to the browser; anything else the service might name
// (a local file, another program's scheme) is not opened.
bool isWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

} // namespace

void NoticeLinkLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void NoticeLinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

TNewVer::TNewVer(NewVersionInfo info, Desktop& desktop, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_info(std::move(info))
    , m_desktop(desktop)
    , m_mainWindow(mainWindow)
{
    cursorPosition = [] {
        return QCursor::pos();
    };
    // Showing the notice leaves the focus where the user has it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(tahoma(11));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    auto* windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    auto* panel1 = new QFrame(this);
    panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel1->setLineWidth(1);
    Panel1 = panel1;
    windowLayout->addWidget(Panel1);

    auto* panelLayout = new QHBoxLayout(Panel1);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->setSpacing(0);

    Image1 = new QLabel(Panel1);
    Image1->setFixedSize(60, 60);
    Image1->setAlignment(Qt::AlignCenter);
    auto* imageBox = new QHBoxLayout();
    imageBox->setContentsMargins(3, 3, 3, 3);
    imageBox->addWidget(Image1);
    panelLayout->addLayout(imageBox);

    Panel2 = new QWidget(Panel1);
    Panel2->setAttribute(Qt::WA_NoMousePropagation);
    panelLayout->addWidget(Panel2, 1);
    auto* textLayout = new QVBoxLayout(Panel2);
    textLayout->setContentsMargins(3, 3, 3, 3);
    textLayout->setSpacing(0);
    Label1 = new QLabel(Panel2);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(tahoma(13, true));
    textLayout->addWidget(Label1);
    Label2 = new NoticeLinkLabel(Panel2);
    // The version comes from the maker's answer: shown as it is, never as markup.
    Label2->setTextFormat(Qt::PlainText);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setWordWrap(true);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->setFont(tahoma(13, false, true));
    Label2->setAttribute(Qt::WA_NoMousePropagation);
    textLayout->addWidget(Label2, 1);
    connect(Label2, &NoticeLinkLabel::clicked, this, &TNewVer::Label2Click);

    Panel3 = new QWidget(Panel1);
    Panel3->setFixedWidth(22);
    panelLayout->addWidget(Panel3);
    auto* closeLayout = new QVBoxLayout(Panel3);
    closeLayout->setContentsMargins(0, 0, 0, 0);
    Button1 = new QToolButton(Panel3);
    Button1->setFixedSize(22, 22);
    Button1->setCursor(Qt::PointingHandCursor);
    Button1->setAutoRaise(true);
    Button1->setIcon(QIcon(ServicePictures::close(32)));
    Button1->setIconSize(QSize(14, 14));
    Button1->setAttribute(Qt::WA_NoMousePropagation);
    closeLayout->addWidget(Button1);
    closeLayout->addStretch(1);
    connect(Button1, &QToolButton::clicked, this, &TNewVer::Button1Click);

    // The window itself, and these parts, drag it; the link, its panel and the close
    // button do not.
    for (QObject* part : {static_cast<QObject*>(Panel1), static_cast<QObject*>(Image1),
                          static_cast<QObject*>(Label1), static_cast<QObject*>(Panel3)})
        part->installEventFilter(this);

    m_animation = new QVariantAnimation(this);
    m_animation->setDuration(kAnimationMs);
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { applyRevealedFraction(value.toDouble()); });

    TimerStart = new QTimer(this);
    TimerStart->setInterval(1);
    connect(TimerStart, &QTimer::timeout, this, &TNewVer::TimerStartTimer);
    TimerClose = new QTimer(this);
    TimerClose->setInterval(1000);
    connect(TimerClose, &QTimer::timeout, this, &TNewVer::TimerCloseTimer);
    TimerLink = new QTimer(this);
    TimerLink->setInterval(100);
    connect(TimerLink, &QTimer::timeout, this, &TNewVer::TimerLinkTimer);

    FormCreate();
    setUpAccessibility();
    TimerStart->start();
    TimerClose->start();
    TimerLink->start();
}

TNewVer::~TNewVer() = default;

void TNewVer::FormCreate()
{
    Image1->setPixmap(m_info.appIcon.pixmap(48, 48));
    // 5 pixels from the top and right edges of the whole primary screen.
    int screenWidth = 0;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        screenWidth = screen->geometry().width();
    move(screenWidth - kClientWidth - 5, 5);
    Label1->setText(TranslateText(QStringLiteral("UPDATE AVAILABLE")));
    Label2->setText(TranslateText(QStringLiteral("Click to download")) + QLatin1Char(' ') +
                    m_info.appProduct + QLatin1Char(' ') + m_info.LatestVersion);
    // The style's colours of window text and of a highlighted menu item; the hover
    // colour is chosen by polling the cursor, as the link has no hover events of its own.
    m_linkColour = Label2->palette().color(QPalette::WindowText);
    m_hoverColour = Label2->palette().color(QPalette::Highlight);
}

bool TNewVer::isAnimating() const
{
    return m_animation->state() == QAbstractAnimation::Running;
}

void TNewVer::TimerStartTimer()
{
    TimerStart->stop();
    animate(true);
    show();
    if (m_mainWindow)
        m_mainWindow->activateWindow();
}

void TNewVer::TimerCloseTimer()
{
    --m_closeCountdown;
    if (m_closeCountdown > 0)
        return;
    TimerClose->stop();
    animate(false);
}

void TNewVer::TimerLinkTimer()
{
    const QPoint local = Label2->mapFromGlobal(cursorPosition());
    const QColor colour = Label2->rect().contains(local) ? m_hoverColour : m_linkColour;
    QPalette palette = Label2->palette();
    if (palette.color(QPalette::WindowText) != colour) {
        palette.setColor(QPalette::WindowText, colour);
        Label2->setPalette(palette);
    }
}

void TNewVer::Label2Click()
{
    QUrl address(m_info.DownloadURL);
    if (m_info.DownloadURL.isEmpty() || !isWebAddress(address))
        address = m_info.homePage;
    m_desktop.openUrl(address); // a failure is ignored: the notice closes all the same
    m_animation->stop();
    clearMask();
    close();
}

void TNewVer::Button1Click()
{
    m_animation->stop();
    clearMask();
    close();
}

void TNewVer::animate(bool opening)
{
    m_animation->stop();
    disconnect(m_animation, &QVariantAnimation::finished, this, nullptr);
    m_animation->setStartValue(opening ? 0.0 : 1.0);
    m_animation->setEndValue(opening ? 1.0 : 0.0);
    connect(m_animation, &QVariantAnimation::finished, this, [this, opening] {
        clearMask();
        if (!opening)
            close();
    });
    applyRevealedFraction(opening ? 0.0 : 1.0);
    m_animation->start();
}

void TNewVer::applyRevealedFraction(double fraction)
{
    // The window grows outwards from, or shrinks towards, its centre point, in both
    // directions at once. An empty mask would show the whole window, hence one pixel.
    const int visibleWidth = qMax(1, int(width() * fraction + 0.5));
    const int visibleHeight = qMax(1, int(height() * fraction + 0.5));
    setMask(QRegion((width() - visibleWidth) / 2, (height() - visibleHeight) / 2, visibleWidth,
                    visibleHeight));
}

bool TNewVer::eventFilter(QObject* watched, QEvent* event)
{
    Q_UNUSED(watched);
    switch (event->type()) {
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

void TNewVer::mousePressEvent(QMouseEvent* event)
{
    FormMouseDown(event);
}

void TNewVer::mouseMoveEvent(QMouseEvent* event)
{
    FormMouseMove(event);
}

void TNewVer::mouseReleaseEvent(QMouseEvent* event)
{
    FormMouseUp(event);
}

void TNewVer::FormMouseDown(QMouseEvent* event)
{
    m_drag.press(event);
}

void TNewVer::FormMouseMove(QMouseEvent* event)
{
    m_drag.move(event);
}

void TNewVer::FormMouseUp(QMouseEvent* event)
{
    m_drag.release(event);
}
