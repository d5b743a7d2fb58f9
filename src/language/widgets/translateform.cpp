#include "language/widgets/translateform.h"

#include "language/restartscript.h"
#include "language/textcatalogue.h"
#include "language/widgets/languagepictures.h"
#include "platform/desktop.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

QFont tahoma(int pixels)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    return font;
}

// The list's items: the flag at the item's top left, the text 16 pixels to its right, in
// the list's font and colours (the selection colours for the selected item). Fixed height 18.
class LanguageItemDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
        painter->drawPixmap(
            option.rect.topLeft(),
            LanguagePictures::picture(index.data(TTranslateForm::PictureRole).toInt()));
        painter->setFont(option.font);
        painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
        const QRect textRect = option.rect.adjusted(16, 0, 0, 0);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width() + 16, 18);
    }
};

} // namespace

QString& OpeningLanguage()
{
    static QString language;
    return language;
}

TTranslateForm::TTranslateForm(const TextCatalogue& catalogue, TranslateFormSetup setup,
                               Desktop& desktop, QWidget* parent)
    : QDialog(parent)
    , m_catalogue(catalogue)
    , m_setup(std::move(setup))
    , m_desktop(desktop)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(622, 227);
    setFont(tahoma(11));
    setWindowIcon(QIcon(LanguagePictures::globe(32)));

    Label1 = new QLabel(this);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setFont(tahoma(16));
    Label1->move(3, 6);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setFont(tahoma(13));
    ComboBox1->setGeometry(263, 4, 355, 24);
    ComboBox1->setItemDelegate(new LanguageItemDelegate(ComboBox1));
    ComboBox1->setIconSize(QSize(16, 16));
    ComboBox1->installEventFilter(this);

    Label2 = new QLabel(this);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setFont(tahoma(16));
    Label2->move(3, 39);

    RichEdit1 = new QPlainTextEdit(this);
    RichEdit1->setFont(tahoma(16));
    RichEdit1->setGeometry(263, 32, 355, 151);
    RichEdit1->setReadOnly(true);
    RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette editPalette = RichEdit1->palette();
    editPalette.setColor(QPalette::Base, editPalette.color(QPalette::Button));
    RichEdit1->setPalette(editPalette);
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    RichEdit1->installEventFilter(this);

    PopupMenu1 = new QMenu(this);
    Copy1 = PopupMenu1->addAction(QIcon(LanguagePictures::picture(LanguagePictures::Copy)),
                                  QString(), this, &TTranslateForm::Copy1Click);
    SelectAll1 = PopupMenu1->addAction(QString(), this, &TTranslateForm::SelectAll1Click);
    connect(RichEdit1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        Copy1->setEnabled(RichEdit1->textCursor().hasSelection());
        PopupMenu1->popup(RichEdit1->mapToGlobal(at));
    });

    Panel1 = new QWidget(this);
    Panel1->setGeometry(0, height() - 39, width(), 39);
    Panel2 = new QFrame(this);
    Panel2->setGeometry(0, height() - 40, width(), 1);
    Panel2->setAutoFillBackground(true);
    QPalette linePalette = Panel2->palette();
    linePalette.setColor(QPalette::Window, linePalette.color(QPalette::Mid));
    Panel2->setPalette(linePalette);

    Label3 = new QLabel(Panel1);
    Label3->setTextFormat(Qt::PlainText);
    QFont linkFont = tahoma(16);
    linkFont.setUnderline(true);
    Label3->setFont(linkFont);
    QPalette linkPalette = Label3->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label3->setPalette(linkPalette);
    Label3->setCursor(Qt::PointingHandCursor);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label3->setToolTip(m_setup.translationPage.toString());
    Label3->installEventFilter(this);

    Button1 = new QPushButton(Panel1);
    Button1->setFont(tahoma(16));
    Button1->setGeometry(Panel1->width() - 3 - 172, 3, 172, 33);
    Button1->setDefault(true);
    // The tick sits 5 pixels from the button's left edge, apart from the centred caption.
    auto* tick = new QLabel(Button1);
    tick->setPixmap(LanguagePictures::picture(LanguagePictures::Tick));
    tick->setGeometry(5, (33 - 16) / 2, 16, 16);
    tick->setAttribute(Qt::WA_TransparentForMouseEvents);
    Button1->installEventFilter(this);
    connect(Button1, &QPushButton::clicked, this, &TTranslateForm::Button1Click);

    FormCreate();
    setUpAccessibility();
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TTranslateForm::ComboBox1Change);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TTranslateForm::~TTranslateForm() = default;

QString TTranslateForm::translate(const QString& key) const
{
    return m_catalogue.TranslateText(key);
}

void TTranslateForm::FormCreate()
{
    setWindowTitle(translate(QStringLiteral("Language")));
    Label1->setText(translate(QStringLiteral("User Interface Language:")));
    Label1->adjustSize();
    Label2->setText(translate(QStringLiteral("Translated by:")));
    Label2->adjustSize();
    Button1->setText(translate(QStringLiteral("OK")));
    Label3->setText(translate(QStringLiteral("Contribute to Translation")));
    Label3->adjustSize();
    Label3->setGeometry(3, 0, Label3->width(), Panel1->height());
    Copy1->setText(translate(QStringLiteral("Copy")));
    SelectAll1->setText(translate(QStringLiteral("Select All")));

    // The list keeps itself sorted, the built-in English among the others.
    QStringList items{kBuiltInLanguage};
    for (const QString& file : m_catalogue.LanguageFiles) {
        // A file without a language name (".lang.txt") would be an empty row to choose.
        const QString item = LanguageItemText(file);
        if (!item.trimmed().isEmpty())
            items << item;
    }
    std::stable_sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    for (const QString& item : items) {
        const int picture = LanguageFlagIndex(item);
        ComboBox1->addItem(QIcon(LanguagePictures::picture(picture)), item);
        ComboBox1->setItemData(ComboBox1->count() - 1, picture, PictureRole);
    }

    int selected = ComboBox1->findText(kBuiltInLanguage, Qt::MatchExactly | Qt::MatchCaseSensitive);
    for (int i = 0; i < ComboBox1->count(); ++i) {
        if (ComboBox1->itemText(i) == m_catalogue.LanguageName) {
            selected = i;
            break;
        }
    }
    ComboBox1->setCurrentIndex(selected);
    ComboBox1Change();
    OpeningLanguage() = ComboBox1->currentText();
}

void TTranslateForm::ComboBox1Change()
{
    const QString text = TranslatorText(m_catalogue.LanguagesFolder, ComboBox1->currentText());
    RichEdit1->clear();
    const QStringList lines = TranslatorLines(text);
    if (!lines.isEmpty())
        RichEdit1->setPlainText(lines.join(QLatin1Char('\n')));
}

void TTranslateForm::Button1Click()
{
    const QString chosen = ComboBox1->currentText();
    if (chosen == OpeningLanguage()) {
        close();
        return;
    }
    if (!m_desktop.askQuestion(translate(QStringLiteral("Confirmation")),
                               translate(QStringLiteral("Restart Application?")),
                               translate(QStringLiteral("Yes")), translate(QStringLiteral("No"))))
        return;

    QString folder = m_setup.dataFolder;
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QDir::separator()))
        folder += QLatin1Char('/');
    const QString script = folder + RestartScriptName();
    // The script first: the choice is kept only when the restart that applies it can
    // happen. Either failing leaves the program running with the window open, and says why.
    try {
        WriteRestartScript(script, RestartScriptLines(m_setup.programFile, m_setup.restartPause));
        QCoreApplication::processEvents();
        if (m_setup.SetLanguageFile)
            m_setup.SetLanguageFile(chosen + QStringLiteral(".lang.txt"));
    } catch (const std::exception& error) {
        m_desktop.showMessage(translate(QStringLiteral("Language")),
                              QString::fromStdString(error.what()), MessageIcon::Error);
        return;
    }
    QCoreApplication::processEvents();

    // Whether the script started is not examined: the program ends all the same.
    const ScriptCommand command = RestartScriptCommand(script);
    m_desktop.startDetached(command.program, command.arguments, m_setup.dataFolder);
    QCoreApplication::processEvents();

    if (m_setup.quitApplication)
        m_setup.quitApplication();
}

void TTranslateForm::Label3Click()
{
    m_desktop.openUrl(m_setup.translationPage);
}

void TTranslateForm::Copy1Click()
{
    RichEdit1->copy();
}

void TTranslateForm::SelectAll1Click()
{
    RichEdit1->selectAll();
}

bool TTranslateForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        (watched == ComboBox1 || watched == RichEdit1 || watched == Button1)) {
        close();
        return true;
    }
    if (watched == Label3 && event->type() == QEvent::MouseButtonPress) {
        m_linkPressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        return true;
    }
    if (watched == Label3 && event->type() == QEvent::MouseButtonRelease) {
        // A click: pressed and released on the link with the left button.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return true;
        const bool click = m_linkPressed && Label3->rect().contains(mouse->position().toPoint());
        m_linkPressed = false;
        if (click)
            Label3Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
