#include "transcription/subtitlefile.h"

#include "transcription/textbytes.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <functional>
#include <utility>

QStringList SaveDialogFilters(bool vttChosen)
{
    const QString vtt = QStringLiteral("VTT File|*.vtt");
    const QString srt = QStringLiteral("SRT File|*.srt");
    const QString txt = QStringLiteral("TXT File|*.txt");
    return vttChosen ? QStringList{vtt, srt, txt} : QStringList{srt, vtt, txt};
}

QByteArray SubtitleFileBytes(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(3 + text.size() + text.size() / 8 + 16);
    bytes.append("\xEF\xBB\xBF", 3);
    AppendUtf8WithCrLf(bytes, text);
    return bytes;
}

std::optional<SubtitleFormat> SubtitleFormatOfFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("vtt"), Qt::CaseInsensitive) == 0)
        return SubtitleFormat::WebVtt;
    if (suffix.compare(QLatin1String("srt"), Qt::CaseInsensitive) == 0)
        return SubtitleFormat::SubRip;
    return std::nullopt;
}

namespace {

SubtitleFormat otherFormat(SubtitleFormat format)
{
    return format == SubtitleFormat::WebVtt ? SubtitleFormat::SubRip : SubtitleFormat::WebVtt;
}

// A text in neither format: the line to name is the one where the format the text claims to
// be in went wrong (a WebVTT text opens with its header line). The format and the line, of
// the readings as the target format and as the other one.
std::pair<SubtitleFormat, qsizetype> claimedFormatFault(QStringView paneText, SubtitleFormat target,
                                                        qsizetype targetLine, qsizetype otherLine)
{
    if (paneText.startsWith(QChar(0xFEFF)))
        paneText = paneText.mid(1);
    const bool claimsWebVtt = paneText.startsWith(QLatin1String("WEBVTT"));
    const bool claimsTarget = claimsWebVtt == (target == SubtitleFormat::WebVtt);
    return claimsTarget ? std::pair(target, targetLine) : std::pair(otherFormat(target), otherLine);
}

} // namespace

SubtitleFileText SubtitleTextForFile(const QString& path, const QString& paneText)
{
    const std::optional<SubtitleFormat> target = SubtitleFormatOfFile(path);
    if (!target)
        return {paneText, 0, SubtitleFormat::WebVtt};
    SubtitleConversion asTarget = ConvertSubtitles(paneText, *target, *target);
    if (asTarget.text)
        return {std::move(*asTarget.text), 0, *target};
    SubtitleConversion asOther = ConvertSubtitles(paneText, otherFormat(*target), *target);
    if (asOther.text)
        return {std::move(*asOther.text), 0, *target};
    const auto [format, line] =
        claimedFormatFault(paneText, *target, asTarget.firstInvalidLine, asOther.firstInvalidLine);
    return {paneText, line, format};
}

namespace {

// Makes the file's bytes for the pane's text (see SubtitleFileContentFor) and hands them to
// write a piece at a time. A reading that finds the text is not in the format it tried calls
// restart before the next one, so that the pieces it handed on are dropped.
SubtitleFileOutcome produceFile(const QString& path, QStringView paneText,
                                std::optional<SubtitleFormat> paneStandardForm,
                                const std::function<void()>& restart, const FileBytesWriter& write)
{
    const std::optional<SubtitleFormat> target = SubtitleFormatOfFile(path);
    if (!target || paneStandardForm == target) {
        StreamSubtitleFileBytes(paneText, write);
        return {0, target.value_or(SubtitleFormat::WebVtt)};
    }
    const qsizetype asTarget = StreamConvertedSubtitleFileBytes(paneText, *target, *target, write);
    if (asTarget == 0)
        return {0, *target};
    restart();
    const qsizetype asOther =
        StreamConvertedSubtitleFileBytes(paneText, otherFormat(*target), *target, write);
    if (asOther == 0)
        return {0, *target};
    restart();
    StreamSubtitleFileBytes(paneText, write);
    const auto [format, line] = claimedFormatFault(paneText, *target, asTarget, asOther);
    return {line, format};
}

} // namespace

SubtitleFileContent SubtitleFileContentFor(const QString& path, const QString& paneText,
                                           std::optional<SubtitleFormat> paneStandardForm)
{
    SubtitleFileContent content;
    const SubtitleFileOutcome outcome = produceFile(
        path, paneText, paneStandardForm, [&content] { content.bytes.clear(); },
        [&content](const char* bytes, qsizetype size) { content.bytes.append(bytes, size); });
    content.firstInvalidLine = outcome.firstInvalidLine;
    content.format = outcome.format;
    return content;
}

QString WriteSubtitleFile(const QString& path, const QString& paneText,
                          SubtitleFileOutcome* outcome,
                          std::optional<SubtitleFormat> paneStandardForm)
{
    // The bytes go to the file as they are made, so that saving a large pane holds no copy
    // of the file in memory. A reading that turns out not to fit starts a new file.
    std::optional<QSaveFile> file;
    QString reason; // of the first failure
    const auto startFile = [&] {
        if (file)
            file->cancelWriting();
        file.emplace(path);
        // In a folder where no temporary file can be made, an existing file the user may
        // write is written in place.
        file->setDirectWriteFallback(true);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered) && reason.isEmpty())
            reason = file->errorString();
    };
    const auto write = [&](const char* bytes, qsizetype size) {
        if (reason.isEmpty() && file->write(bytes, size) != size)
            reason = file->errorString();
    };
    const auto failure = [&path](const QString& why) {
        return QStringLiteral("Cannot create file \"%1\". %2")
            .arg(QDir::toNativeSeparators(path), why);
    };
    startFile();
    if (!reason.isEmpty())
        return failure(reason);
    const SubtitleFileOutcome made =
        produceFile(path, paneText, paneStandardForm, startFile, write);
    if (outcome)
        *outcome = made;
    if (!reason.isEmpty()) {
        file->cancelWriting();
        return failure(reason);
    }
    if (!file->commit())
        return failure(file->errorString());
    return {};
}
