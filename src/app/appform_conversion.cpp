// The main window's side of the result pane, saving and the conversion job.
#include "app/appform.h"

#include "platform/desktop.h"
#include "platform/inifile.h"
#include "transcription/conversionjob.h"
#include "transcription/jobrecord.h"
#include "transcription/subtitlefile.h"
#include "transcription/textbytes.h"
#include "transcription/widgets/panefiller.h"
#include "transcription/widgets/windowinputhold.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace {

// The job's view of the main window.
class FormConversionWindow final : public QObject, public ConversionWindow {
public:
    explicit FormConversionWindow(TAppForm& form)
        : m_form(form)
        , m_hold(new WindowInputHold(&form))
        , m_filler(new PaneFiller(form.MemoReplicate, m_hold, &form))
    {
        // Polls are kept at least a second apart; a precise timer never comes early.
        m_form.TimerReplicate->setTimerType(Qt::PreciseTimer);
    }

    QString apiKeyText() const override { return m_form.Edit1->text(); }
    void setApiKeyText(const QString& text) override { m_form.Edit1->setText(text); }
    QString audioUrlText() const override { return m_form.Edit3->text(); }
    bool vttChosen() const override { return m_form.RadioButton1->isChecked(); }
    QString modelName() const override { return m_form.chosenModelName(); }
    bool convertVideoToAudio() const override
    {
        return !m_form.ConvertVideoToAudio1 || m_form.ConvertVideoToAudio1->isChecked();
    }
    void FocusReplicateAPIKey() override { m_form.FocusReplicateAPIKey(); }
    void FocusReplicateAudio() override { m_form.FocusReplicateAudio(); }
    void setStatePanel(const QString& text) override { m_form.setStatusPanelText(0, text); }
    void setClockPanel(const QString& text) override { m_form.setStatusPanelText(1, text); }
    void setPaneText(const QString& text) override { m_filler->setText(NormaliseLineBreaks(text)); }
    void setPaneSubtitles(const QString& text, SubtitleFormat format) override
    {
        m_filler->setText(text, format);
    }
    void setConvertEnabled(bool enabled) override { m_form.ToolButtonConvert->setEnabled(enabled); }
    void setPollTimerEnabled(bool enabled) override { enable(m_form.TimerReplicate, enabled); }
    void setClockTimerEnabled(bool enabled) override { enable(m_form.TimerElapsed, enabled); }
    void setBusyCursor(bool busy) override { m_hold->setBusyCursor(busy); }
    void setInputHeld(bool held) override
    {
        if (held)
            m_hold->hold();
        else
            m_hold->release();
    }

private:
    static void enable(QTimer* timer, bool enabled)
    {
        if (enabled)
            timer->start();
        else
            timer->stop();
    }

    TAppForm& m_form;
    WindowInputHold* m_hold;
    PaneFiller* m_filler;
};

} // namespace

void TAppForm::setUpConversion()
{
    auto* window = new FormConversionWindow(*this);
    m_conversionJob = new ConversionJob(*window, m_desktop, m_environment.endpoints, {}, this);
    // The job's view goes with the job, after the job's requests.
    window->setParent(m_conversionJob);

    // The pane's pop-up menu works on the pane only while its page is the active one.
    PopupMenu2 = new QMenu(MemoReplicate);
    const auto addPaneAction = [this](const QString& text, auto action) {
        return PopupMenu2->addAction(text, this, [this, action] {
            if (PageControl2->currentIndex() == 0)
                action();
        });
    };
    U1 = addPaneAction(QStringLiteral("Undo"), [this] { MemoReplicate->undo(); });
    PopupMenu2->addSeparator();
    C1 = addPaneAction(QStringLiteral("Cut"), [this] { MemoReplicate->cut(); });
    C2 = addPaneAction(QStringLiteral("Copy"), [this] { MemoReplicate->copy(); });
    P1 = addPaneAction(QStringLiteral("Paste"), [this] { MemoReplicate->paste(); });
    D1 = addPaneAction(QStringLiteral("Delete"), [this] {
        QTextCursor cursor = MemoReplicate->textCursor();
        cursor.removeSelectedText();
        MemoReplicate->setTextCursor(cursor);
    });
    PopupMenu2->addSeparator();
    S1 = addPaneAction(QStringLiteral("Select All"), [this] { MemoReplicate->selectAll(); });
    MemoReplicate->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(MemoReplicate, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu2->popup(MemoReplicate->viewport()->mapToGlobal(at));
    });
}

void TAppForm::resumeConversion()
{
    // The data folder is known now: temporary audio goes there, and a conversion that the
    // last run left behind is taken up again (unless another copy of the program has it).
    m_conversionJob->setDataFolder(DataFolder());
    m_conversionJob->setRecordStore(std::make_shared<SettingsJobRecord>(
        m_settingsIni->path(), DataFolder() + QStringLiteral("job.lock")));
    m_conversionJob->ResumeRecorded();
}

void TAppForm::Save1Click()
{
    const QString path = m_desktop.chooseSaveFile(SaveDialogFilters(RadioButton1->isChecked()),
                                                  QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    if (PageControl2->currentIndex() != 0)
        return;
    // A result may have begun filling the pane while the dialog was open: the file gets the
    // whole of it, never the part shown so far.
    auto* filler = findChild<PaneFiller*>();
    if (filler && filler->isFilling())
        filler->completeNow();
    SubtitleFileOutcome written;
    const QString failure =
        filler ? WriteSubtitleFile(path, filler->paneText(), &written, filler->standardForm())
               : WriteSubtitleFile(path, PaneText(MemoReplicate), &written);
    if (!failure.isEmpty()) {
        m_desktop.showMessage(QStringLiteral("Parlotext"), failure, MessageIcon::Error);
        return;
    }
    // A pane that does not read as subtitles (a time line broken by an edit) is saved as it
    // stands; the user learns where to look.
    if (written.firstInvalidLine > 0) {
        const bool vtt = written.format == SubtitleFormat::WebVtt;
        setStatusPanelText(0, QStringLiteral("Saved as it stands: line %1 is not valid %2")
                                  .arg(written.firstInvalidLine)
                                  .arg(vtt ? QStringLiteral("WebVTT") : QStringLiteral("SubRip")));
    }
}

void TAppForm::ConvertUsingReplicate()
{
    m_conversionJob->ConvertUsingReplicate();
}

void TAppForm::TimerReplicateTimer()
{
    m_conversionJob->TimerReplicateTimer();
}

void TAppForm::TimerElapsedTimer()
{
    m_conversionJob->TimerElapsedTimer();
}

void TAppForm::NormaleDon()
{
    m_conversionJob->NormaleDon();
}
