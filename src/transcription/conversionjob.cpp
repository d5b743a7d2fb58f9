#include "transcription/conversionjob.h"

#include "language/textcatalogue.h"
#include "platform/desktop.h"
#include "transcription/jsonreformat.h"
#include "transcription/predictionanswer.h"
#include "transcription/subtitles.h"
#include "transcription/textbytes.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kModelVersion =
    QStringLiteral("7f686e243a96c7f6f0f481bcef24d688a1369ed3983cea348d1f43b879615766");

const QString kRequesting = QStringLiteral("Requesting...");
const QString kRequested =
    QStringLiteral("Requested. Please wait... (This may take up to 10 minutes)");
const QString kProcessing = QStringLiteral("Processing...");
const QString kSucceeded = QStringLiteral("Succeeded");
const QString kFailed = QStringLiteral("Failed");

// Statuses after which the prediction never changes again, with no subtitles to show.
bool endedWithoutResult(const QString& status)
{
    return status == QLatin1String("failed") || status == QLatin1String("canceled") ||
           status == QLatin1String("aborted");
}

} // namespace

QString ElapsedText(qint32 seconds)
{
    return QString::asprintf("%.2d:%.2d", seconds / 60, seconds % 60);
}

ConversionJob::ConversionJob(ConversionWindow& window, Desktop& desktop, Endpoints endpoints,
                             RequestTimeouts timeouts, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_desktop(desktop)
    , m_webDomain(endpoints.replicateWeb.host())
    , m_client(new ReplicateClient(std::move(endpoints), desktop, window, timeouts, this))
{
}

ConversionJob::~ConversionJob() = default;

void ConversionJob::beginRequest()
{
    m_requestRunning = true;
    m_window.setInputHeld(true);
}

void ConversionJob::endRequest()
{
    m_requestRunning = false;
    m_window.setInputHeld(false);
}

void ConversionJob::NormaleDon()
{
    m_window.setConvertEnabled(true);
    m_window.setClockTimerEnabled(false);
}

void ConversionJob::ConvertUsingReplicate()
{
    // The window holds the user's input while a request runs; a call that still gets here
    // (a command replayed from the queue arrives only afterwards) waits for nothing.
    if (m_requestRunning)
        return;

    const QString typedKey = m_window.apiKeyText();
    const QString key = Utf8Trim(typedKey);
    if (key != typedKey)
        m_window.setApiKeyText(key);
    if (key.isEmpty()) {
        m_window.FocusReplicateAPIKey();
        m_desktop.showMessage(TranslateText(QStringLiteral("CREDENTIALS")),
                              QStringLiteral("Please enter your credentials for ") + m_webDomain,
                              MessageIcon::Information);
        return;
    }
    // A URL of blanks passes: the service judges it.
    const QString audioUrl = m_window.audioUrlText();
    if (audioUrl.isEmpty()) {
        m_window.FocusReplicateAudio();
        m_desktop.showMessage(TranslateText(QStringLiteral("WARNING")),
                              QStringLiteral("Please enter the audio URL."), MessageIcon::Warning);
        return;
    }

    m_window.setBusyCursor(true);
    const QString format = m_window.vttChosen() ? QStringLiteral("vtt") : QStringLiteral("srt");
    m_window.setStatePanel(kRequesting);
    beginRequest();
    m_client->CreatePrediction(key, kModelVersion, audioUrl, m_window.modelName(), format,
                               [this](const TReplicateResponse& response) {
                                   created(response);
                                   endRequest();
                               });
}

void ConversionJob::created(const TReplicateResponse& response)
{
    m_window.setStatePanel(kRequested);
    m_window.setConvertEnabled(false);
    ElapsedSeconds = 0;
    m_window.setClockTimerEnabled(true);
    // A start without an identifier cannot be polled; it ends as a failure and leaves any
    // prediction polled so far as it was.
    if (response.FStatus == QLatin1String("starting") && !response.FID.isEmpty()) {
        PredictionId = response.FID;
        PollCount = 0;
        m_window.setPollTimerEnabled(true);
    } else {
        // The request has already told the user where it failed.
        m_window.setStatePanel(kFailed);
        NormaleDon();
        m_window.setBusyCursor(false);
        finish(ConversionOutcome::Result::Failed, {},
               response.FResponse.isEmpty()
                   ? QStringLiteral("The service did not start the prediction.")
                   : response.FResponse);
        return;
    }
    m_window.setBusyCursor(false);
}

void ConversionJob::TimerReplicateTimer()
{
    // Never a tick inside another tick, a request, or a box that a tick shows.
    if (m_requestRunning)
        return;
    ++PollCount;
    beginRequest();
    // The key is read anew on every tick, so a corrected key is used at once.
    m_client->FetchPrediction(m_window.apiKeyText(), PredictionId, [this](const QString& answer) {
        fetched(answer);
        endRequest();
    });
}

void ConversionJob::showLaidOut(const QString& answer)
{
    m_window.setPaneText(JsonReformat(answer));
}

void ConversionJob::fetched(const QString& answer)
{
    if (PollCount == kPollLimit) {
        m_window.setPollTimerEnabled(false);
        m_window.setStatePanel(kFailed);
        const QString laidOut = JsonReformat(answer);
        m_window.setPaneText(laidOut == QLatin1String("null") ? answer : laidOut);
        m_desktop.showMessage(QStringLiteral("ERROR"),
                              QStringLiteral("Server error!\r\rPlease try again."),
                              MessageIcon::Error);
        NormaleDon();
        finish(ConversionOutcome::Result::Failed, {},
               QStringLiteral("The prediction did not end in time."));
        return;
    }

    handleStatus(answer);

    if (answer == kFetchErrorSentinel) {
        NormaleDon();
        m_window.setStatePanel(kFailed);
        m_window.setPaneText(QStringLiteral("ERROR"));
        m_window.setPollTimerEnabled(false);
        finish(ConversionOutcome::Result::Failed, {},
               QStringLiteral("The service could not be reached."));
    }
}

void ConversionJob::handleStatus(const QString& answer)
{
    const PredictionAnswer parsed = ParsePredictionAnswer(answer);
    const QString& status = parsed.status;
    if (!parsed.hasStatus) {
        // Polling goes on: a proxy's page may be followed by the real answer.
        NormaleDon();
        m_window.setStatePanel(kFailed);
        m_window.setPaneText(QStringLiteral("Something is wrong!\r\r") + answer);
        return;
    }

    if (status == QLatin1String("processing")) {
        PollCount = 0;
        m_window.setStatePanel(kProcessing);
    } else if (endedWithoutResult(status)) {
        showLaidOut(answer);
        m_window.setPollTimerEnabled(false);
        NormaleDon();
        m_window.setStatePanel(kFailed);
        m_desktop.beep();
        if (status == QLatin1String("canceled"))
            finish(ConversionOutcome::Result::Canceled, {}, {});
        else
            finish(ConversionOutcome::Result::Failed, {},
                   parsed.error.isEmpty() ? QStringLiteral("The prediction %1.").arg(status)
                                          : parsed.error);
    } else if (status == QLatin1String("succeeded")) {
        m_window.setPollTimerEnabled(false);
        NormaleDon();
        m_window.setStatePanel(kSucceeded);
        if (parsed.hasSubtitles) {
            // The model's subtitles are not in the standard form that players read.
            const QString standard =
                NormalizeSubtitles(parsed.subtitles, m_window.vttChosen() ? SubtitleFormat::WebVtt
                                                                          : SubtitleFormat::SubRip);
            m_window.setPaneText(standard);
            m_desktop.beep();
            finish(ConversionOutcome::Result::Succeeded, standard, {});
        } else {
            const QString missing =
                QStringLiteral("JSON ERROR: Subtitles not found in \"output\" object!");
            m_window.setPaneText(missing);
            m_desktop.beep();
            finish(ConversionOutcome::Result::Failed, {}, missing);
        }
    }
    // Any other status ("starting", or one this program does not know): keep waiting.
}

void ConversionJob::finish(ConversionOutcome::Result result, const QString& subtitles,
                           const QString& reason)
{
    emit ended(ConversionOutcome{result, subtitles, reason});
}

void ConversionJob::TimerElapsedTimer()
{
    ++ElapsedSeconds;
    m_window.setClockPanel(ElapsedText(ElapsedSeconds));
}
