// The main window's queue: files dropped (or added) in a list under the address field, run
// by Convert a few at a time through the same conversion job, each saved beside its source.
#include "app/appform.h"

#include "language/textcatalogue.h"
#include "platform/desktop.h"
#include "transcription/conversionqueue.h"
#include "transcription/subtitletarget.h"
#include "transcription/textbytes.h"

#include <QAction>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Dropped files that go into the queue: several at once, or any while the queue has rows.
// A single file on an empty queue is left to the address field.
class QueueDropFilter final : public QObject {
public:
    QueueDropFilter(TAppForm& form, std::function<bool(const QStringList&)> take)
        : QObject(&form)
        , m_form(form)
        , m_take(std::move(take))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_form && event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            QStringList files;
            if (drop->mimeData()) {
                for (const QUrl& url : drop->mimeData()->urls()) {
                    if (url.isLocalFile())
                        files.append(url.toLocalFile());
                }
            }
            if (!files.isEmpty() && m_take(files)) {
                drop->acceptProposedAction();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TAppForm& m_form;
    std::function<bool(const QStringList&)> m_take;
};

} // namespace

void TAppForm::setUpQueue()
{
    m_queue = new ConversionQueue(m_environment.endpoints, {}, this);

    QueuePanel = new QWidget(TabSheet2);
    QueuePanel->setObjectName(QStringLiteral("QueuePanel"));
    auto* panelLayout = new QVBoxLayout(QueuePanel);
    panelLayout->setContentsMargins(6, 0, 6, 4);
    panelLayout->setSpacing(2);
    QueueList = new QListWidget(QueuePanel);
    QueueList->setObjectName(QStringLiteral("QueueList"));
    QueueList->setAccessibleName(QStringLiteral("Queue"));
    QueueList->setAccessibleDescription(
        QStringLiteral("The files to convert, each with its state. Double-click a converted "
                       "file to open its subtitles in the pane."));
    QueueList->setFixedHeight(110);
    panelLayout->addWidget(QueueList);

    auto* buttons = new QWidget(QueuePanel);
    auto* buttonLayout = new QHBoxLayout(buttons);
    buttonLayout->setContentsMargins(0, 0, 0, 0);
    const auto addButton = [&](const QString& caption, const QString& description) {
        auto* button = new QPushButton(caption, buttons);
        button->setAccessibleName(caption);
        button->setAccessibleDescription(description);
        buttonLayout->addWidget(button);
        return button;
    };
    QueueOpen = addButton(QStringLiteral("Open in Pane"),
                          QStringLiteral("Shows the chosen file's subtitles in the result pane"));
    QueueStop = addButton(QStringLiteral("Stop Queue"),
                          QStringLiteral("Cancels the running conversions; the files not yet "
                                         "started stay waiting"));
    QueueClear = addButton(QStringLiteral("Clear Finished"),
                           QStringLiteral("Removes the converted, failed and canceled files "
                                          "from the queue"));
    buttonLayout->addStretch(1);
    panelLayout->addWidget(buttons);
    QueuePanel->setVisible(false);

    // Under the address field.
    auto* pageLayout = static_cast<QVBoxLayout*>(TabSheet2->layout());
    pageLayout->insertWidget(pageLayout->indexOf(Panel5) + 1, QueuePanel);

    AddToQueue1 = new QAction(QStringLiteral("Add Files to Queue..."), this);
    File1->insertAction(Save1, AddToQueue1);
    connect(AddToQueue1, &QAction::triggered, this, [this] {
        const QStringList files = m_desktop.chooseOpenFiles(LoadFileFilter());
        if (!files.isEmpty())
            addFilesToQueue(files);
    });

    connect(m_queue, &ConversionQueue::rowsChanged, this, [this] {
        QueueList->clear();
        for (int row = 0; row < m_queue->count(); ++row) {
            auto* entry = new QListWidgetItem(QueueList);
            entry->setToolTip(m_queue->item(row).source);
        }
        for (int row = 0; row < m_queue->count(); ++row)
            showQueueRow(row);
        QueuePanel->setVisible(m_queue->count() > 0);
        updateQueueButtons();
    });
    connect(m_queue, &ConversionQueue::itemChanged, this, [this](int row) {
        showQueueRow(row);
        updateQueueButtons();
    });
    connect(m_queue, &ConversionQueue::finished, this, [this] {
        updateQueueButtons();
        int done = 0;
        for (int row = 0; row < m_queue->count(); ++row)
            done += m_queue->item(row).state == QueueState::Done ? 1 : 0;
        setStatusPanelText(
            0, QStringLiteral("Queue: %1 of %2 converted").arg(done).arg(m_queue->count()));
    });
    connect(QueueOpen, &QPushButton::clicked, this,
            [this] { openQueueRow(QueueList->currentRow()); });
    connect(QueueList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* entry) { openQueueRow(QueueList->row(entry)); });
    connect(QueueList, &QListWidget::currentRowChanged, this, [this] { updateQueueButtons(); });
    connect(QueueStop, &QPushButton::clicked, this, &TAppForm::stopQueue);
    connect(QueueClear, &QPushButton::clicked, this, [this] { m_queue->removeFinished(); });

    installEventFilter(new QueueDropFilter(*this, [this](const QStringList& files) {
        if (files.size() < 2 && m_queue->count() == 0)
            return false;
        addFilesToQueue(files);
        return true;
    }));
}

void TAppForm::showQueueRow(int row)
{
    QListWidgetItem* entry = QueueList->item(row);
    if (!entry)
        return;
    const QueueItem& item = m_queue->item(row);
    const QString text =
        SourceDisplayName(item.source) + QStringLiteral(" \u2014 ") + QueueStateText(item);
    entry->setText(text);
    entry->setData(Qt::AccessibleTextRole, text);
}

void TAppForm::updateQueueButtons()
{
    const int row = QueueList->currentRow();
    const bool finished = row >= 0 && row < m_queue->count() &&
                          (m_queue->item(row).state == QueueState::Done ||
                           m_queue->item(row).state == QueueState::Failed);
    QueueOpen->setEnabled(finished);
    QueueStop->setEnabled(m_queue->runningCount() > 0);
    QueueClear->setEnabled(!m_queue->isActive());
}

int TAppForm::addFilesToQueue(const QStringList& files)
{
    int added = 0;
    for (const QString& file : files)
        added += m_queue->add(file) ? 1 : 0;
    return added;
}

bool TAppForm::startQueue()
{
    bool runnable = false;
    for (int row = 0; row < m_queue->count(); ++row) {
        const QueueState state = m_queue->item(row).state;
        runnable = runnable || state == QueueState::Waiting || state == QueueState::Failed ||
                   state == QueueState::Canceled;
    }
    if (!runnable)
        return false;
    // The key is checked once for the whole queue, with the single conversion's message.
    const QString key = Utf8Trim(Edit1->text());
    if (key != Edit1->text())
        Edit1->setText(key);
    if (key.isEmpty()) {
        FocusReplicateAPIKey();
        m_desktop.showMessage(TranslateText(QStringLiteral("CREDENTIALS")),
                              QStringLiteral("Please enter your credentials for ") +
                                  m_environment.endpoints.replicateWeb.host(),
                              MessageIcon::Information);
        return true;
    }
    QueueOptions& options = m_queue->options();
    options.apiKey = key;
    options.modelName = chosenModelName();
    options.vtt = RadioButton1->isChecked();
    options.pollIntervalMs = TimerReplicate->interval();
    options.clockIntervalMs = TimerElapsed->interval();
    options.temporaryFolder = DataFolder();
    m_queue->start();
    updateQueueButtons();
    return true;
}

void TAppForm::stopQueue()
{
    m_queue->stop();
    updateQueueButtons();
}

void TAppForm::openQueueRow(int row)
{
    if (row < 0 || row >= m_queue->count())
        return;
    const QueueItem& item = m_queue->item(row);
    if (item.state == QueueState::Done)
        MemoReplicate->setPlainText(NormaliseLineBreaks(item.subtitles));
    else if (item.state == QueueState::Failed)
        MemoReplicate->setPlainText(SourceDisplayName(item.source) + QLatin1Char('\n') +
                                    QueueStateText(item));
}
