#include "services/widgets/feedback.h"

#include "language/textcatalogue.h"
#include "platform/desktop.h"
#include "services/feedbackrules.h"
#include "services/formpost.h"
#include "services/widgets/servicepictures.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

// A text box that takes no more than maxLength characters: what is typed, pasted, dropped
// or composed is shortened to the room left before it goes in, so the text around the
// cursor stays, the cursor ends after what went in, and the insertion is one undo step.
class LimitedMemo final : public QPlainTextEdit {
public:
    LimitedMemo(int maxLength, QWidget* parent)
        : QPlainTextEdit(parent)
        , m_maxLength(maxLength)
    {
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const QString text = event->text();
        const bool inserts =
            !text.isEmpty() && !(event->modifiers() & Qt::ControlModifier) &&
            (text.at(0).isPrint() || text == QLatin1String("\r") || text == QLatin1String("\n"));
        if (inserts && !isReadOnly() && text.size() > room()) {
            insertShortened(text == QLatin1String("\r") ? QStringLiteral("\n") : text);
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }

    void insertFromMimeData(const QMimeData* source) override
    {
        if (source && source->hasText() && source->text().size() > room()) {
            insertShortened(source->text());
            return;
        }
        QPlainTextEdit::insertFromMimeData(source);
    }

    void inputMethodEvent(QInputMethodEvent* event) override
    {
        if (event->commitString().size() > room()) {
            QInputMethodEvent shortened(event->preeditString(), event->attributes());
            shortened.setCommitString(event->commitString().left(room()), event->replacementStart(),
                                      event->replacementLength());
            QPlainTextEdit::inputMethodEvent(&shortened);
            return;
        }
        QPlainTextEdit::inputMethodEvent(event);
    }

private:
    // How many characters may still go in where the cursor is, its selection replaced.
    int room() const
    {
        const QTextCursor cursor = textCursor();
        const int length = document()->characterCount() - 1;
        const int selected = cursor.selectionEnd() - cursor.selectionStart();
        return qMax(0, m_maxLength - (length - selected));
    }

    void insertShortened(const QString& text)
    {
        const QString fits = text.left(room());
        if (fits.isEmpty())
            return; // full: the text and the cursor stay as they are
        insertPlainText(fits);
        ensureCursorVisible();
    }

    int m_maxLength;
};

constexpr int kClientWidth = 525;
constexpr int kClientHeight = 326;

const QString kLikeIt = QStringLiteral("I like it!");
const QString kDislikeIt = QStringLiteral("I dislike it!");

QFont tahoma(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QWidget* strip(QWidget* parent, int height)
{
    auto* widget = new QWidget(parent);
    widget->setFixedHeight(height);
    return widget;
}

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace

FeedbackChoicePanel::FeedbackChoicePanel(const QPixmap& face, QWidget* parent)
    : QFrame(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFont(tahoma(16));
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    m_image = new QLabel(this);
    m_image->setFixedSize(32, 32);
    m_image->setScaledContents(true);
    m_image->setPixmap(face);
    m_image->setAttribute(Qt::WA_TranslucentBackground);
    m_caption = new QLabel(this);
    m_caption->setTextFormat(Qt::PlainText);
    m_caption->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_image);
    layout->addWidget(m_caption, 1);
    layout->addSpacing(32); // keeps the caption centred on the panel
    setChosen(false);
}

QString FeedbackChoicePanel::caption() const
{
    return m_caption->text();
}

void FeedbackChoicePanel::setCaption(const QString& caption)
{
    m_caption->setText(caption);
}

bool FeedbackChoicePanel::isChosen() const
{
    return palette().color(QPalette::Window) != QApplication::palette().color(QPalette::Button);
}

void FeedbackChoicePanel::setChosen(bool chosen)
{
    const QPalette system = QApplication::palette();
    QPalette look = palette();
    look.setColor(QPalette::Window, system.color(chosen ? QPalette::Highlight : QPalette::Button));
    look.setColor(QPalette::WindowText,
                  system.color(chosen ? QPalette::HighlightedText : QPalette::WindowText));
    setPalette(look);
    setFrameShadow(chosen ? QFrame::Sunken : QFrame::Raised);
}

void FeedbackChoicePanel::mousePressEvent(QMouseEvent* event)
{
    // A choice is a left click: pressed and released on the panel.
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void FeedbackChoicePanel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

TFeedbackForm::TFeedbackForm(AppIdentity identity, Endpoints endpoints, Desktop& desktop,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
    , m_identity(std::move(identity))
    , m_endpoints(std::move(endpoints))
    , m_desktop(desktop)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(tahoma(11));
    setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel3 = strip(this, 46);
    auto* choices = new QHBoxLayout(Panel3);
    choices->setContentsMargins(3, 3, 3, 3);
    choices->setSpacing(3);
    Panel4 = new FeedbackChoicePanel(ServicePictures::smile(64), Panel3);
    Image1 = Panel4->image();
    Panel5 = new FeedbackChoicePanel(ServicePictures::frown(64), Panel3);
    Image2 = Panel5->image();
    choices->addWidget(Panel4, 1);
    choices->addWidget(Panel5, 1);
    connect(Panel4, &FeedbackChoicePanel::clicked, this, &TFeedbackForm::Image1Click);
    connect(Panel5, &FeedbackChoicePanel::clicked, this, &TFeedbackForm::Image2Click);
    layout->addWidget(Panel3);

    Label1 = new QLabel(this);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setFont(tahoma(16));
    Label1->setContentsMargins(8, 6, 8, 2);
    layout->addWidget(Label1);
    Label2 = new QLabel(this);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setFont(tahoma(13, true));
    Label2->setContentsMargins(8, 2, 8, 4);
    layout->addWidget(Label2);

    auto* memoBox = new QHBoxLayout();
    memoBox->setContentsMargins(8, 0, 8, 0);
    Memo1 = new LimitedMemo(kMemoMaxLength, this);
    Memo1->setFont(tahoma(13));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    // Text set by the program itself does not pass the box's own limit; where the last
    // change put its text tells the check below which insertion to shorten.
    connect(Memo1->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) {
                m_lastInsertStart = position;
                m_lastInsertEnd = position + added;
            });
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TFeedbackForm::limitMemoLength);
    memoBox->addWidget(Memo1);
    layout->addLayout(memoBox, 1);

    Panel1 = strip(this, 30);
    auto* emailRow = new QHBoxLayout(Panel1);
    emailRow->setContentsMargins(8, 3, 8, 3);
    Label3 = new QLabel(Panel1);
    Label3->setTextFormat(Qt::PlainText);
    Label3->setFont(tahoma(13));
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Edit1 = new QLineEdit(Panel1);
    Edit1->setFont(tahoma(13));
    Edit1->setMaxLength(kEmailMaxLength);
    emailRow->addWidget(Label3);
    emailRow->addWidget(Edit1, 1);
    layout->addWidget(Panel1);

    Panel2 = strip(this, 39);
    auto* buttonRow = new QHBoxLayout(Panel2);
    buttonRow->setContentsMargins(8, 3, 8, 3);
    buttonRow->addStretch(1);
    BitBtn1 = new QPushButton(Panel2);
    BitBtn1->setFixedSize(172, 33);
    BitBtn1->setFont(tahoma(16));
    BitBtn1->setIcon(QIcon(ServicePictures::feedback(48)));
    BitBtn1->setIconSize(QSize(24, 24));
    BitBtn1->setAutoDefault(false);
    buttonRow->addWidget(BitBtn1);
    connect(BitBtn1, &QPushButton::clicked, this, &TFeedbackForm::BitBtn1Click);
    layout->addWidget(Panel2);

    // The text box comes first, so it holds the focus when the window opens.
    setTabOrder(Memo1, Edit1);
    setTabOrder(Edit1, BitBtn1);
    Memo1->setFocus();

    for (QObject* control : {static_cast<QObject*>(Memo1), static_cast<QObject*>(Edit1),
                             static_cast<QObject*>(BitBtn1)})
        control->installEventFilter(this);

    FormCreate();
    setUpAccessibility();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

TFeedbackForm::~TFeedbackForm()
{
    if (m_request) {
        qApp->removeEventFilter(this);
        QGuiApplication::restoreOverrideCursor();
    }
    delete m_request;
}

void TFeedbackForm::FormCreate()
{
    setWindowTitle(m_identity.AppProduct + QLatin1Char(' ') +
                   TranslateText(QStringLiteral("feedback")));
    Label1->setText(TranslateText(QStringLiteral("We would really appreciate your feedback.")));
    Label2->setText(TranslateText(QStringLiteral("What did you like or dislike?")));
    Label3->setText(TranslateText(QStringLiteral("Include my e-mail:")));
    BitBtn1->setText(TranslateText(QStringLiteral("Send")));
    Panel4->setCaption(TranslateText(kLikeIt));
    Panel5->setCaption(TranslateText(kDislikeIt));
}

void TFeedbackForm::Image1Click()
{
    if (!Panel4->isChosen())
        Panel4->setChosen(true);
    if (Panel5->isChosen())
        Panel5->setChosen(false);
}

void TFeedbackForm::Image2Click()
{
    if (!Panel5->isChosen())
        Panel5->setChosen(true);
    if (Panel4->isChosen())
        Panel4->setChosen(false);
}

void TFeedbackForm::BitBtn1Click()
{
    if (m_request)
        return;
    const QString likeLine = ChoiceLine(kLikeIt, Panel4->caption());
    const QString dislikeLine = ChoiceLine(kDislikeIt, Panel5->caption());
    QString memoText = Memo1->toPlainText();
    memoText.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QString text = TrimServiceText(memoText);
    const QString feedbackText =
        ComposeFeedbackText(Panel4->isChosen(), likeLine, Panel5->isChosen(), dislikeLine, text);

    // A choice alone is not enough: there must be something to read.
    if (text.isEmpty()) {
        Memo1->setFocus();
        m_desktop.beep();
        return;
    }
    const QString email = TrimServiceText(Edit1->text());
    if (!email.isEmpty() && !IsValidEmailAddress(email)) {
        Edit1->setFocus();
        m_desktop.showMessage(TranslateText(QStringLiteral("Failure")),
                              TranslateText(QStringLiteral("Invalid e-mail address!")),
                              MessageIcon::Error);
        return;
    }

    // One step: the window keeps painting but takes no input until the answer is in.
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    qApp->installEventFilter(this);
    m_request = new ServiceRequest(MakerServiceEndpoint(m_endpoints, QLatin1String(kFeedbackPath)),
                                   FeedbackFields(m_identity, feedbackText, email), timeoutMs);
    connect(m_request, &ServiceRequest::finished, this, &TFeedbackForm::onSendFinished);
    m_request->start();
}

void TFeedbackForm::onSendFinished()
{
    const ServiceOutcome outcome = m_request->outcome();
    m_request->deleteLater();
    m_request = nullptr;
    qApp->removeEventFilter(this);
    QGuiApplication::restoreOverrideCursor();

    // An error of the plain attempt leaves the reply empty, which is a failure too.
    const bool succeeded = outcome.succeeded && IsFeedbackAccepted(outcome.reply);
    if (succeeded) {
        m_desktop.showMessage(TranslateText(QStringLiteral("Success")),
                              TranslateText(QStringLiteral("Your feedback is received.")) +
                                  QStringLiteral("\r\r") +
                                  TranslateText(QStringLiteral("Thank you!")),
                              MessageIcon::Information);
    } else {
        m_desktop.showMessage(TranslateText(QStringLiteral("Failure")),
                              TranslateText(QStringLiteral(
                                  "Something went wrong. Your feedback could not be delivered.")) +
                                  QStringLiteral("\r\r") +
                                  TranslateText(QStringLiteral("Please try again later.")),
                              MessageIcon::Error);
    }
    emit sendFinished(succeeded);
    if (succeeded)
        close();
}

void TFeedbackForm::limitMemoLength()
{
    QTextDocument* document = Memo1->document();
    // The document counts one more character: the end of its last paragraph.
    const int length = document->characterCount() - 1;
    const int excess = length - kMemoMaxLength;
    if (excess <= 0)
        return;
    // What was just inserted is shortened from its end, so the text around it stays.
    const int end = qBound(0, m_lastInsertEnd, length);
    const int start = qBound(0, m_lastInsertStart, end);
    QTextCursor cursor(document);
    if (end - start >= excess) {
        cursor.setPosition(end - excess);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
    } else {
        // Nothing known was inserted (a whole new text): the end goes.
        cursor.setPosition(kMemoMaxLength);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
}

bool TFeedbackForm::eventFilter(QObject* watched, QEvent* event)
{
    if (m_request) {
        // While the request runs, input meant for this window is dropped.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && isUserInput(event->type()))
            return true;
        return false;
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        (watched == Memo1 || watched == Edit1 || watched == BitBtn1)) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFeedbackForm::closeEvent(QCloseEvent* event)
{
    if (m_request) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TFeedbackForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}
