#include "transcription/subtitlefile.h"

#include "transcription/textbytes.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

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

SubtitleFileContent SubtitleFileContentFor(const QString& path, const QString& paneText,
                                           std::optional<SubtitleFormat> paneStandardForm)
{
    const std::optional<SubtitleFormat> target = SubtitleFormatOfFile(path);
    if (!target)
        return {SubtitleFileBytes(paneText), 0, SubtitleFormat::WebVtt};
    if (paneStandardForm == target)
        return {SubtitleFileBytes(paneText), 0, *target};
    SubtitleBytesConversion asTarget = ConvertSubtitlesToFileBytes(paneText, *target, *target);
    if (asTarget.bytes)
        return {std::move(*asTarget.bytes), 0, *target};
    SubtitleBytesConversion asOther =
        ConvertSubtitlesToFileBytes(paneText, otherFormat(*target), *target);
    if (asOther.bytes)
        return {std::move(*asOther.bytes), 0, *target};
    const auto [format, line] =
        claimedFormatFault(paneText, *target, asTarget.firstInvalidLine, asOther.firstInvalidLine);
    return {SubtitleFileBytes(paneText), line, format};
}

QString WriteSubtitleFile(const QString& path, const QString& paneText,
                          SubtitleFileContent* written,
                          std::optional<SubtitleFormat> paneStandardForm)
{
    const auto failure = [&path](const QString& reason) {
        return QStringLiteral("Cannot create file \"%1\". %2")
            .arg(QDir::toNativeSeparators(path), reason);
    };
    const SubtitleFileContent content = SubtitleFileContentFor(path, paneText, paneStandardForm);
    if (written)
        *written = content;
    QSaveFile file(path);
    // In a folder where no temporary file can be made, an existing file the user may write
    // is written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    const QByteArray& bytes = content.bytes;
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(reason);
    }
    if (!file.commit())
        return failure(file.errorString());
    return {};
}
