#include "transcription/conversionjob.h"

#include "language/textcatalogue.h"
#include "media/mediafiles.h"
#include "platform/desktop.h"
#include "transcription/backgroundwork.h"
#include "transcription/filesclient.h"
#include "transcription/jobrecord.h"
#include "transcription/jsonreformat.h"
#include "transcription/localsource.h"
#include "transcription/pollbackoff.h"
#include "transcription/predictionanswer.h"
#include "transcription/subtitles.h"
#include "transcription/textbytes.h"
#include "transcription/transcoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <random>

namespace {

const QString kModelVersion =
    QStringLiteral("7f686e243a96c7f6f0f481bcef24d688a1369ed3983cea348d1f43b879615766");

const QString kRequesting = QStringLiteral("Requesting...");
const QString kRequested =
    QStringLiteral("Requested. Please wait... (This may take up to 10 minutes)");
const QString kProcessing = QStringLiteral("Processing...");
const QString kSucceeded = QStringLiteral("Succeeded");
const QString kFailed = QStringLiteral("Failed");
const QString kCanceled = QStringLiteral("Canceled");
const QString kCanceling = QStringLiteral("Canceling...");

// Statuses after which the prediction never changes again, with no subtitles to show.
bool endedWithoutResult(const QString& status)
{
    return status == QLatin1String("failed") || status == QLatin1String("canceled") ||
           status == QLatin1String("aborted");
}

// The text of a JSON answer laid out for reading, or the answer itself when it cannot be
// laid out: the service's own words are never replaced by "null".
QString laidOutOrAsIs(const QString& answer)
{
    const QString laidOut = JsonReformat(answer);
    return laidOut == QLatin1String("null") && answer.trimmed() != QLatin1String("null") ? answer
                                                                                         : laidOut;
}

// "\r\r" and the service's detail, when it gave one.
QString withDetail(const QString& message, const QString& body)
{
    const QString detail = ServiceDetail(body);
    return detail.isEmpty() ? message : message + QStringLiteral("\r\r") + detail;
}

// A steady clock for the poll rhythm: unaffected by changes of the system's time.
qint64 steadyNow()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

// A free file name in folder for the audio ffmpeg makes, taken at once by an empty file so
// that a second job or a second copy of the program never writes the same one.
QString reserveTemporaryAudio(const QString& folder)
{
    const QString base = QDir(folder).filePath(QStringLiteral("temp.mp3"));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = UniqueFileName(base);
        QFile file(candidate);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return candidate;
    }
    return {};
}

} // namespace

QString ElapsedText(qint32 seconds)
{
    return QString::asprintf("%.2d:%.2d", seconds / 60, seconds % 60);
}

ConversionJob::ConversionJob(ConversionWindow& window, Desktop& desktop, Endpoints endpoints,
                             RequestTimeouts timeouts, QObject* parent)
    : ConversionJob(window, desktop, std::move(endpoints), timeouts, ConversionJobOptions{}, parent)
{
}

ConversionJob::ConversionJob(ConversionWindow& window, Desktop& desktop, Endpoints endpoints,
                             RequestTimeouts timeouts, ConversionJobOptions options,
                             QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_desktop(desktop)
    , m_webDomain(endpoints.replicateWeb.host())
    , m_options(std::move(options))
    , m_client(new ReplicateClient(endpoints, desktop, window, timeouts, this))
    , m_files(new FilesClient(endpoints, timeouts, this))
    , m_transcoder(new Transcoder(this))
{
    if (!m_options.clock)
        m_options.clock = steadyNow;
    if (!m_options.wallClock)
        m_options.wallClock = [] {
            return QDateTime::currentDateTimeUtc();
        };
    const quint32 seed = m_options.randomSeed ? *m_options.randomSeed : std::random_device{}();
    m_backoff = std::make_unique<PollBackoff>(seed);
    m_createBackoff = std::make_unique<PollBackoff>(seed + 1);
    m_client->setThrottledCreateLeftToCaller(m_options.retryThrottledCreate);
}

ConversionJob::~ConversionJob()
{
    // The program is closing: the prediction goes on and stays in the record for the next
    // start; what lives only in this run goes.
    delete m_transcoder; // ends ffmpeg before its output file is removed below
    m_transcoder = nullptr;
    for (Conversion* conversion : {m_pending.get(), m_active.get()}) {
        if (!conversion)
            continue;
        for (const QString& file : std::as_const(conversion->temporaryFiles))
            QFile::remove(file);
    }
}

qint64 ConversionJob::now() const
{
    return m_options.clock();
}

void ConversionJob::setDataFolder(const QString& folder)
{
    m_options.dataFolder = folder;
}

void ConversionJob::setClock(std::function<qint64()> clock)
{
    m_options.clock = clock ? std::move(clock) : std::function<qint64()>(steadyNow);
}

void ConversionJob::setRecordStore(std::shared_ptr<JobRecordStore> record)
{
    m_options.record = std::move(record);
}

void ConversionJob::setPanel(const QString& text)
{
    m_panelText = text;
    m_window.setStatePanel(text);
}

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

bool ConversionJob::running() const
{
    return m_pending || m_active;
}

void ConversionJob::updateRunning()
{
    const bool isRunning = running();
    if (isRunning == m_wasRunning)
        return;
    m_wasRunning = isRunning;
    emit runningChanged(isRunning);
}

void ConversionJob::record(Conversion& conversion)
{
    if (!m_options.record)
        return;
    JobRecordData data;
    data.predictionId = conversion.stage == Stage::Polling ? PredictionId : QString();
    data.fileId = conversion.fileId;
    data.started = conversion.started;
    // Without the record (another copy of the program holds it) the conversion runs all
    // the same; it only cannot outlive this run.
    conversion.recorded = m_options.record->save(data);
}

void ConversionJob::NormaleDon()
{
    m_window.setConvertEnabled(true);
    m_window.setClockTimerEnabled(false);
}

bool ConversionJob::ConvertUsingReplicate()
{
    // The window holds the user's input while a request runs; a call that still gets here
    // (a command replayed from the queue arrives only afterwards) waits for nothing.
    if (m_requestRunning)
        return false;

    const QString typedKey = m_window.apiKeyText();
    const QString key = Utf8Trim(typedKey);
    if (key != typedKey)
        m_window.setApiKeyText(key);
    if (key.isEmpty()) {
        m_window.FocusReplicateAPIKey();
        m_desktop.showMessage(TranslateText(QStringLiteral("CREDENTIALS")),
                              QStringLiteral("Please enter your credentials for ") + m_webDomain,
                              MessageIcon::Information);
        return false;
    }
    // A URL of blanks passes: the service judges it.
    const QString audioUrl = m_window.audioUrlText();
    if (audioUrl.isEmpty()) {
        m_window.FocusReplicateAudio();
        m_desktop.showMessage(TranslateText(QStringLiteral("WARNING")),
                              QStringLiteral("Please enter the audio URL."), MessageIcon::Warning);
        return false;
    }
    const std::optional<QString> localPath = LocalPathFromInput(audioUrl);
    if (localPath) {
        const QString problem = LocalFileProblem(*localPath);
        if (!problem.isEmpty()) {
            m_window.FocusReplicateAudio();
            m_desktop.showMessage(TranslateText(QStringLiteral("WARNING")), problem,
                                  MessageIcon::Warning);
            return false;
        }
    }
    // A web address may take the place of a prediction being polled, as it always could;
    // anything else waits until the running conversion has ended.
    if (m_pending || (m_active && localPath)) {
        m_desktop.showMessage(TranslateText(QStringLiteral("WARNING")),
                              QStringLiteral("A conversion is already running. Please wait "
                                             "until it ends, or stop it first."),
                              MessageIcon::Information);
        return false;
    }

    m_pending = std::make_unique<Conversion>();
    m_pending->key = key;
    m_pending->format = m_window.vttChosen() ? QStringLiteral("vtt") : QStringLiteral("srt");
    m_pending->modelName = m_window.modelName();
    m_pending->started = m_options.wallClock();
    updateRunning();
    m_window.setBusyCursor(true);

    if (!localPath) {
        create(audioUrl);
        return true;
    }
    m_pending->localPath = *localPath;
    // A local file takes a while before the prediction exists; the clock runs from now.
    m_window.setConvertEnabled(false);
    ElapsedSeconds = 0;
    m_window.setClockTimerEnabled(true);
    if (LooksLikeVideo(*localPath) && m_window.convertVideoToAudio())
        transcode();
    else
        upload(*localPath);
    return true;
}

void ConversionJob::transcode()
{
    Conversion& conversion = *m_pending;
    conversion.stage = Stage::Transcoding;
    const QString programFolder = m_options.programFolder.isEmpty() && QCoreApplication::instance()
                                      ? QCoreApplication::applicationDirPath()
                                      : m_options.programFolder;
    const QString ffmpeg = FindHelperProgram(QStringLiteral("ffmpeg"), programFolder);
    const QString name = QFileInfo(conversion.localPath).fileName();
    if (ffmpeg.isEmpty()) {
        const QString message =
            QStringLiteral("ffmpeg is needed to convert the video \"%1\" to audio, but it was "
                           "found neither beside Parlotext nor on the PATH.\r\r"
                           "Install it (on Debian or Ubuntu: sudo apt install ffmpeg), or turn "
                           "off Options > Convert Video to Audio Before Uploading.")
                .arg(name);
        failPending(QStringLiteral("ERROR"), message, MessageIcon::Error,
                    QStringLiteral("ffmpeg is needed to convert video to audio."));
        return;
    }
    const QString folder = m_options.dataFolder.isEmpty() ? QDir::tempPath() : m_options.dataFolder;
    const QString target = reserveTemporaryAudio(folder);
    if (target.isEmpty()) {
        failPending(QStringLiteral("ERROR"),
                    QStringLiteral("No temporary file can be written in \"%1\".")
                        .arg(QDir::toNativeSeparators(folder)),
                    MessageIcon::Error, QStringLiteral("No temporary file can be written."));
        return;
    }
    conversion.temporaryFiles << target;
    setPanel(QStringLiteral("Converting ") + name + QStringLiteral("..."));
    m_transcoder->start(ffmpeg, conversion.localPath, target,
                        [this, target, name](const Transcoder::Result& result) {
                            if (!m_pending)
                                return;
                            if (m_pending->stopRequested || result.stopped) {
                                endPendingCanceled();
                            } else if (!result.ok) {
                                failPending(QStringLiteral("ERROR"),
                                            QStringLiteral("ffmpeg could not convert \"%1\":\r\r%2")
                                                .arg(name, result.error),
                                            MessageIcon::Error, result.error);
                            } else {
                                upload(target);
                            }
                        });
}

void ConversionJob::upload(const QString& path)
{
    m_pending->stage = Stage::Uploading;
    setPanel(QStringLiteral("Uploading... 0%"));
    m_files->UploadFile(
        m_pending->key, path,
        [this](qint64 sent, qint64 total) {
            if (!m_pending || m_pending->stage != Stage::Uploading || m_pending->stopRequested ||
                total <= 0)
                return;
            setPanel(QStringLiteral("Uploading... %1%").arg(sent * 100 / total));
        },
        [this](const UploadOutcome& outcome) { uploaded(outcome); });
}

void ConversionJob::uploaded(const UploadOutcome& outcome)
{
    if (!m_pending)
        return;
    Conversion& conversion = *m_pending;
    using Kind = UploadOutcome::Kind;
    if (outcome.kind == Kind::Uploaded) {
        conversion.fileId = outcome.fileId;
        // The temporary audio has done its job.
        for (const QString& file : std::as_const(conversion.temporaryFiles))
            QFile::remove(file);
        conversion.temporaryFiles.clear();
        if (conversion.stopRequested) {
            endPendingCanceled();
            return;
        }
        record(conversion);
        create(outcome.url);
        return;
    }
    if (conversion.stopRequested || outcome.kind == Kind::Aborted) {
        endPendingCanceled();
        return;
    }
    const QString name = QFileInfo(conversion.localPath).fileName();
    switch (outcome.kind) {
    case Kind::TooLarge:
        m_window.FocusReplicateAudio();
        failPending(QStringLiteral("WARNING"),
                    QStringLiteral("\"%1\" is larger than the service takes (100 MB).\r\r"
                                   "Turn on Options > Convert Video to Audio Before Uploading, "
                                   "or use a shorter recording.")
                        .arg(name),
                    MessageIcon::Warning, QStringLiteral("The file is larger than 100 MB."));
        return;
    case Kind::Unreadable:
        m_window.FocusReplicateAudio();
        failPending(QStringLiteral("WARNING"),
                    QStringLiteral("The file \"%1\" cannot be read.").arg(name),
                    MessageIcon::Warning, QStringLiteral("The file cannot be read."));
        return;
    case Kind::Refused: {
        if (outcome.status == 413) {
            const QString message = withDetail(
                QStringLiteral("HTTP response code: 413 (Content Too Large)"), outcome.body);
            failPending(QStringLiteral("WARNING"),
                        message + QStringLiteral("\r\rTurn on Options > Convert Video to Audio "
                                                 "Before Uploading, or use a shorter recording."),
                        MessageIcon::Warning, outcome.detail);
            return;
        }
        const CreateRefusal refusal = CreateRefusalFor(outcome.status);
        if (refusal.focus == CreateRefusal::Focus::ApiKey)
            m_window.FocusReplicateAPIKey();
        const QString message = withDetail(refusal.message, outcome.body);
        failPending(QStringLiteral("WARNING"), message, MessageIcon::Warning,
                    outcome.detail.isEmpty() ? refusal.message.section(QLatin1Char('\r'), 0, 0)
                                             : outcome.detail);
        return;
    }
    case Kind::BadAnswer:
        failPending(QStringLiteral("ERROR"),
                    QStringLiteral("The service's answer to the upload is not a file object:"
                                   "\r\r") +
                        outcome.body.left(2000),
                    MessageIcon::Error, QStringLiteral("The service did not take the file."));
        return;
    case Kind::Transport:
    default:
        failPending(QStringLiteral("ERROR"), outcome.failure, MessageIcon::Error, outcome.failure);
        return;
    }
}

void ConversionJob::create(const QString& audioUrl)
{
    Conversion& conversion = *m_pending;
    conversion.stage = Stage::Creating;
    conversion.audioUrl = audioUrl;
    setPanel(kRequesting);
    beginRequest();
    m_client->CreatePrediction(
        conversion.key, kModelVersion, audioUrl, conversion.modelName, conversion.format,
        [this](const TReplicateResponse& response) {
            if (response.httpStatus == 429 && m_options.retryThrottledCreate && m_pending) {
                createThrottledAnswer(response);
                endRequest();
                return;
            }
            created(response);
            endRequest();
            // A stop asked for while the create ran goes out now that the prediction is
            // known.
            if (m_active && m_active->stopRequested && m_active->stage == Stage::Polling)
                sendCancel();
        });
}

void ConversionJob::created(const TReplicateResponse& response)
{
    if (!m_pending)
        return;
    setPanel(kRequested);
    m_window.setConvertEnabled(false);
    const bool local = !m_pending->localPath.isEmpty();
    if (!local)
        ElapsedSeconds = 0;
    m_window.setClockTimerEnabled(true);
    // A start without an identifier cannot be polled; it ends as a failure and leaves any
    // prediction polled so far as it was.
    if (response.FStatus == QLatin1String("starting") && !response.FID.isEmpty()) {
        if (m_active) {
            // The new prediction takes the place of the one polled so far.
            std::unique_ptr<Conversion> replaced = std::move(m_active);
            replaced->recorded = false; // the new one's record takes its place
            finish(std::move(replaced), ConversionOutcome::Result::Failed, {},
                   QStringLiteral("A new conversion took its place."));
        }
        m_active = std::move(m_pending);
        m_active->stage = Stage::Polling;
        PredictionId = response.FID;
        PollCount = 0;
        record(*m_active);
        startPolling();
        m_window.setBusyCursor(false);
        return;
    }
    // The request has already told the user where it failed.
    setPanel(kFailed);
    NormaleDon();
    m_window.setBusyCursor(false);
    finish(std::move(m_pending), ConversionOutcome::Result::Failed, {},
           response.FResponse.isEmpty()
               ? QStringLiteral("The service did not start the prediction.")
               : response.FResponse);
}

void ConversionJob::createThrottledAnswer(const TReplicateResponse& response)
{
    Conversion& conversion = *m_pending;
    if (conversion.stopRequested) {
        // Nothing was created, so there is nothing to cancel on the service.
        endPendingCanceled();
        return;
    }
    const qint64 at = now();
    if (conversion.throttledSince < 0) {
        conversion.throttledSince = at;
        m_createBackoff->reset();
    }
    const qint64 wait =
        m_createBackoff->failed(RetryAfterMs(response.retryAfter, m_options.wallClock()));
    if (at + wait - conversion.throttledSince > kGiveUpMs) {
        if (!m_active)
            m_window.setPollTimerEnabled(false);
        const QString detail = ServiceDetail(response.FResponse);
        failPending(QStringLiteral("WARNING"),
                    withDetail(QStringLiteral("HTTP response code: 429 (Too Many Requests)\r\r"
                                              "The service has refused new conversions for 10 "
                                              "minutes. Please try again later."),
                               response.FResponse),
                    MessageIcon::Warning,
                    QStringLiteral("HTTP response code: 429") +
                        (detail.isEmpty() ? QString() : QStringLiteral(": ") + detail));
        return;
    }
    conversion.stage = Stage::Throttled;
    conversion.nextCreateAt = at + wait;
    showThrottledCountdown();
    // The ticks of the poll timer send the create again once the wait is over.
    m_window.setPollTimerEnabled(true);
    emit createThrottled(wait);
}

void ConversionJob::createAgainWhenDue()
{
    if (now() < m_pending->nextCreateAt) {
        showThrottledCountdown();
        return;
    }
    create(m_pending->audioUrl);
}

void ConversionJob::showThrottledCountdown()
{
    const qint64 left = std::max<qint64>(1, (m_pending->nextCreateAt - now() + 999) / 1000);
    setPanel(QStringLiteral("Too many requests, retrying in %1 s...").arg(left));
}

void ConversionJob::startPolling()
{
    m_backoff->reset();
    m_retrying = false;
    m_polledOnce = false;
    m_lastGoodAt = now();
    m_window.setPollTimerEnabled(true);
}

bool ConversionJob::ResumeRecorded()
{
    if (!m_options.record || running())
        return false;
    const std::optional<JobRecordData> kept = m_options.record->load();
    if (!kept || !m_options.record->claim())
        return false;
    const QString key = Utf8Trim(m_window.apiKeyText());
    if (kept->predictionId.isEmpty()) {
        // The program closed between the upload and the create: only the file is left.
        deleteUploadedFile(key, kept->fileId, true);
        return false;
    }

    m_active = std::make_unique<Conversion>();
    m_active->stage = Stage::Polling;
    m_active->key = key;
    m_active->fileId = kept->fileId;
    m_active->started = kept->started.isValid() ? kept->started : m_options.wallClock();
    m_active->recorded = true;
    PredictionId = kept->predictionId;
    PollCount = 0;
    ElapsedSeconds =
        qint32(std::clamp<qint64>(m_active->started.secsTo(m_options.wallClock()), 0, 1 << 30));
    updateRunning();
    setPanel(
        QStringLiteral("Resumed the conversion started on %1")
            .arg(m_active->started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    m_window.setClockPanel(ElapsedText(ElapsedSeconds));
    m_window.setConvertEnabled(false);
    m_window.setClockTimerEnabled(true);
    startPolling();
    return true;
}

void ConversionJob::TimerReplicateTimer()
{
    // Never a tick inside another tick, a request, or a box that a tick shows.
    if (m_requestRunning)
        return;
    if (m_pending && m_pending->stage == Stage::Throttled)
        createAgainWhenDue();
    if (m_requestRunning || !m_active || m_active->stage != Stage::Polling)
        return;
    const qint64 at = now();
    if (m_retrying && at < m_nextPollAt) {
        showRetryCountdown();
        return;
    }
    // At most one poll a second, however the ticks come.
    if (m_polledOnce && at - m_lastPollAt < kPollSpacingMs)
        return;
    m_polledOnce = true;
    m_lastPollAt = at;
    ++PollCount;
    beginRequest();
    // The key is read anew on every tick, so a corrected key is used at once.
    m_client->FetchPredictionAnswer(m_window.apiKeyText(), PredictionId,
                                    [this](const FetchAnswer& answer) {
                                        fetched(answer);
                                        if (!m_readingAnswer)
                                            answerHandled();
                                    });
}

void ConversionJob::showLaidOut(const QString& answer)
{
    m_window.setPaneText(laidOutOrAsIs(answer));
}

void ConversionJob::fetched(const FetchAnswer& answer)
{
    if (!m_active || m_active->stopRequested)
        return; // the cancel goes out instead
    const QString body = answer.answered ? answer.body : answer.failure;
    if (PollCount == kPollLimit) {
        m_window.setPollTimerEnabled(false);
        setPanel(kFailed);
        m_window.setPaneText(laidOutOrAsIs(body));
        m_desktop.showMessage(QStringLiteral("ERROR"),
                              QStringLiteral("Server error!\r\rPlease try again."),
                              MessageIcon::Error);
        NormaleDon();
        finishActive(ConversionOutcome::Result::Failed, {},
                     QStringLiteral("The prediction did not end in time."));
        return;
    }

    switch (ClassifyFetch(answer)) {
    case FetchVerdict::Transient:
        retryLater(answer);
        return;
    case FetchVerdict::Answer:
        m_backoff->reset();
        m_lastGoodAt = now();
        if (m_retrying) {
            m_retrying = false;
            setPanel(m_panelBeforeRetry);
        }
        handleStatus(answer.body);
        return;
    default:
        endOnRefusal(answer);
        return;
    }
}

void ConversionJob::retryLater(const FetchAnswer& answer)
{
    const QString what =
        answer.answered
            ? withDetail(QStringLiteral("HTTP response code: %1").arg(answer.status), answer.body)
            : answer.failure;
    if (now() - m_lastGoodAt >= kGiveUpMs) {
        // Ten minutes without one good answer: the service is out of reach.
        m_window.setPollTimerEnabled(false);
        NormaleDon();
        setPanel(kFailed);
        m_window.setPaneText(QStringLiteral("ERROR"));
        m_desktop.showMessage(QStringLiteral("ERROR"),
                              what + QStringLiteral("\r\rThe service has not answered for 10 "
                                                    "minutes; Parlotext stopped waiting for the "
                                                    "prediction."),
                              MessageIcon::Error);
        finishActive(ConversionOutcome::Result::Failed, {},
                     QStringLiteral("The service could not be reached: ") +
                         what.section(QLatin1Char('\r'), 0, 0));
        return;
    }
    const qint64 delay = m_backoff->failed(RetryAfterMs(answer.retryAfter, m_options.wallClock()));
    if (!m_retrying) {
        m_retrying = true;
        m_panelBeforeRetry = m_panelText;
    }
    m_nextPollAt = now() + delay;
    showRetryCountdown();
}

void ConversionJob::showRetryCountdown()
{
    const qint64 left = std::max<qint64>(1, (m_nextPollAt - now() + 999) / 1000);
    const QString text = QStringLiteral("Connection lost, retrying in %1 s...").arg(left);
    m_panelText = text;
    m_window.setStatePanel(text);
}

void ConversionJob::endOnRefusal(const FetchAnswer& answer)
{
    m_window.setPollTimerEnabled(false);
    NormaleDon();
    QString message;
    switch (ClassifyFetch(answer)) {
    case FetchVerdict::Credentials:
        m_window.FocusReplicateAPIKey();
        message = QStringLiteral("HTTP response code: %1 (%2)\r\rThe API key no longer works. "
                                 "Please enter a valid key from %3 and convert again.")
                      .arg(answer.status)
                      .arg(answer.status == 401 ? QStringLiteral("Unauthorized")
                                                : QStringLiteral("Forbidden"))
                      .arg(m_webDomain);
        break;
    case FetchVerdict::Billing:
        message = QStringLiteral(
            "HTTP response code: 402 (Payment Required)\r\rManage Billing in Replicate!");
        break;
    case FetchVerdict::Gone:
        message = QStringLiteral("HTTP response code: %1\r\rThe service no longer knows the "
                                 "prediction %2. Please convert again.")
                      .arg(answer.status)
                      .arg(PredictionId);
        break;
    default:
        message = QStringLiteral("HTTP response code: %1").arg(answer.status);
        break;
    }
    message = withDetail(message, answer.body);
    setPanel(kFailed);
    m_desktop.showMessage(QStringLiteral("WARNING"), message, MessageIcon::Warning);
    const QString detail = ServiceDetail(answer.body);
    finishActive(ConversionOutcome::Result::Failed, {},
                 QStringLiteral("HTTP response code: %1").arg(answer.status) +
                     (detail.isEmpty() ? QString() : QStringLiteral(": ") + detail));
}

void ConversionJob::answerHandled()
{
    endRequest();
    if (m_active && m_active->stopRequested && m_active->stage == Stage::Polling)
        sendCancel();
}

void ConversionJob::handleStatus(const QString& answer)
{
    const SubtitleFormat format =
        m_window.vttChosen() ? SubtitleFormat::WebVtt : SubtitleFormat::SubRip;
    if (answer.size() < kBackgroundReadChars) {
        handleReading(answer, ReadPredictionAnswer(answer, format));
        return;
    }
    // A long recording's answer is read, and its subtitles brought to the standard form, on
    // a worker thread: megabytes of work that would otherwise freeze the window. The request
    // stays under way until the reading is handled, so no tick and no input comes in
    // between; a stop asked for meanwhile goes out after it.
    m_readingAnswer = true;
    RunInBackground<PredictionReading>(
        this, [answer, format] { return ReadPredictionAnswer(answer, format); },
        [this, answer](const PredictionReading& reading) {
            m_readingAnswer = false;
            handleReading(answer, reading);
            answerHandled();
        });
}

void ConversionJob::handleReading(const QString& answer, const PredictionReading& reading)
{
    const PredictionAnswer& parsed = reading.answer;
    const QString& status = parsed.status;
    if (!parsed.hasStatus) {
        // Polling goes on: a later answer may be the real one.
        NormaleDon();
        setPanel(kFailed);
        m_window.setPaneText(QStringLiteral("Something is wrong!\r\r") + answer);
        return;
    }

    if (status == QLatin1String("processing")) {
        PollCount = 0;
        setPanel(kProcessing);
    } else if (endedWithoutResult(status)) {
        showLaidOut(answer);
        m_window.setPollTimerEnabled(false);
        NormaleDon();
        setPanel(kFailed);
        m_desktop.beep();
        if (status == QLatin1String("canceled"))
            finishActive(ConversionOutcome::Result::Canceled, {}, {});
        else
            finishActive(ConversionOutcome::Result::Failed, {},
                         parsed.error.isEmpty() ? QStringLiteral("The prediction %1.").arg(status)
                                                : parsed.error);
    } else if (status == QLatin1String("succeeded")) {
        m_window.setPollTimerEnabled(false);
        NormaleDon();
        setPanel(kSucceeded);
        if (parsed.hasSubtitles) {
            if (reading.standard)
                m_window.setPaneSubtitles(reading.subtitles, reading.format);
            else
                m_window.setPaneText(reading.subtitles);
            m_desktop.beep();
            finishActive(ConversionOutcome::Result::Succeeded, reading.subtitles, {});
        } else {
            const QString missing =
                QStringLiteral("JSON ERROR: Subtitles not found in \"output\" object!");
            m_window.setPaneText(missing);
            m_desktop.beep();
            finishActive(ConversionOutcome::Result::Failed, {}, missing);
        }
    }
    // Any other status ("starting", or one this program does not know): keep waiting.
}

void ConversionJob::Stop()
{
    Conversion* conversion = m_pending ? m_pending.get() : m_active.get();
    if (!conversion || conversion->stopRequested)
        return;
    conversion->stopRequested = true;
    setPanel(kCanceling);
    switch (conversion->stage) {
    case Stage::Transcoding:
        m_transcoder->stop();
        break;
    case Stage::Uploading:
        m_files->abortUpload();
        break;
    case Stage::Creating:
        // The prediction is canceled as soon as the create tells its identifier.
        break;
    case Stage::Throttled:
        // Nothing was created yet: the wait simply ends.
        if (!m_active)
            m_window.setPollTimerEnabled(false);
        endPendingCanceled();
        break;
    case Stage::Polling:
        if (!m_requestRunning)
            sendCancel();
        // else: the cancel goes out when the fetch under way has ended.
        break;
    case Stage::Canceling:
        break;
    }
}

void ConversionJob::sendCancel()
{
    m_active->stage = Stage::Canceling;
    m_retrying = false;
    setPanel(kCanceling);
    beginRequest();
    m_files->CancelPrediction(m_window.apiKeyText(), PredictionId,
                              [this](const FilesOutcome& outcome) {
                                  cancelAnswered(outcome);
                                  if (!m_readingAnswer)
                                      endRequest();
                              });
}

void ConversionJob::cancelAnswered(const FilesOutcome& outcome)
{
    if (!m_active)
        return;
    const QJsonDocument document = QJsonDocument::fromJson(outcome.body.toUtf8());
    QString status;
    const bool understood = outcome.answered && outcome.status >= 200 && outcome.status <= 299 &&
                            document.isObject() &&
                            TryGetJsonString(document.object(), QStringLiteral("status"), status);
    if (understood && status == QLatin1String("succeeded")) {
        // Finished before the stop reached it: the subtitles are the user's all the same.
        m_active->stage = Stage::Polling;
        handleStatus(outcome.body);
        return;
    }
    m_window.setPollTimerEnabled(false);
    NormaleDon();
    setPanel(kCanceled);
    if (understood) {
        showLaidOut(outcome.body);
    } else {
        const QString what =
            outcome.answered
                ? withDetail(QStringLiteral("HTTP response code: %1").arg(outcome.status),
                             outcome.body)
                : outcome.failure;
        m_desktop.showMessage(QStringLiteral("WARNING"),
                              QStringLiteral("The service did not confirm the stop:\r\r") + what +
                                  QStringLiteral("\r\rThe prediction may still be running; "
                                                 "you can cancel it on ") +
                                  m_webDomain + QStringLiteral("."),
                              MessageIcon::Warning);
    }
    m_desktop.beep();
    finishActive(ConversionOutcome::Result::Canceled, {}, {});
}

void ConversionJob::failPending(const QString& title, const QString& message, MessageIcon icon,
                                const QString& reason)
{
    setPanel(kFailed);
    NormaleDon();
    m_window.setBusyCursor(false);
    m_desktop.showMessage(title, message, icon);
    if (m_pending)
        finish(std::move(m_pending), ConversionOutcome::Result::Failed, {}, reason);
}

void ConversionJob::endPendingCanceled()
{
    setPanel(kCanceled);
    NormaleDon();
    m_window.setBusyCursor(false);
    m_desktop.beep();
    finish(std::move(m_pending), ConversionOutcome::Result::Canceled, {}, {});
}

void ConversionJob::finishActive(ConversionOutcome::Result result, const QString& subtitles,
                                 const QString& reason)
{
    if (m_active)
        finish(std::move(m_active), result, subtitles, reason);
}

void ConversionJob::finish(std::unique_ptr<Conversion> conversion, ConversionOutcome::Result result,
                           const QString& subtitles, const QString& reason)
{
    if (conversion) {
        for (const QString& file : std::as_const(conversion->temporaryFiles))
            QFile::remove(file);
        if (conversion->recorded && m_options.record && conversion->fileId.isEmpty())
            m_options.record->clear();
        if (!conversion->fileId.isEmpty())
            deleteUploadedFile(conversion->key.isEmpty() ? Utf8Trim(m_window.apiKeyText())
                                                         : conversion->key,
                               conversion->fileId, conversion->recorded);
    }
    updateRunning();
    emit ended(ConversionOutcome{result, subtitles, reason});
}

void ConversionJob::deleteUploadedFile(const QString& key, const QString& fileId, bool recorded)
{
    std::shared_ptr<JobRecordStore> store = recorded ? m_options.record : nullptr;
    if (store) {
        // Until the service confirms, the record names only the file, so that a program
        // closed meanwhile deletes it at its next start.
        JobRecordData leftover;
        leftover.fileId = fileId;
        leftover.started = m_options.wallClock();
        store->save(leftover);
    }
    // A failed delete is never shown: the subtitles are what counts, and the service
    // removes old files by itself.
    ++m_pendingDeletes;
    m_files->DeleteFile(key, fileId, [this, store, fileId](bool deleted) {
        if (store && deleted) {
            const std::optional<JobRecordData> now = store->load();
            if (!now || (now->predictionId.isEmpty() && now->fileId == fileId))
                store->clear();
        }
        if (--m_pendingDeletes == 0)
            emit uploadsDeleted();
    });
}

void ConversionJob::TimerElapsedTimer()
{
    ++ElapsedSeconds;
    m_window.setClockPanel(ElapsedText(ElapsedSeconds));
}
