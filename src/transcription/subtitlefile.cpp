#include "transcription/subtitlefile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

QStringList SaveDialogFilters(bool vttChosen)
{
    const QString vtt = QStringLiteral("VTT File|*.vtt");
    const QString srt = QStringLiteral("SRT File|*.srt");
    const QString txt = QStringLiteral("TXT File|*.txt");
    return vttChosen ? QStringList{vtt, srt, txt} : QStringList{srt, vtt, txt};
}

QByteArray SubtitleFileBytes(const QString& text)
{
    // CR and LF are single bytes in UTF-8 and never part of another character, so the
    // line breaks are mended on the encoded bytes: every CR LF, lone CR and lone LF becomes
    // CR LF.
    const QByteArray utf8 = text.toUtf8();
    QByteArray bytes;
    bytes.reserve(3 + utf8.size() + utf8.count('\n') + 16);
    bytes.append("\xEF\xBB\xBF", 3);
    const char* const data = utf8.constData();
    const qsizetype size = utf8.size();
    qsizetype runStart = 0;
    for (qsizetype at = 0; at < size; ++at) {
        const char c = data[at];
        if (c != '\n' && c != '\r')
            continue;
        bytes.append(data + runStart, at - runStart);
        bytes.append("\r\n", 2);
        if (c == '\r' && at + 1 < size && data[at + 1] == '\n')
            ++at;
        runStart = at + 1;
    }
    bytes.append(data + runStart, size - runStart);
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

SubtitleFileText SubtitleTextForFile(const QString& path, const QString& paneText)
{
    const std::optional<SubtitleFormat> target = SubtitleFormatOfFile(path);
    if (!target)
        return {paneText, 0, SubtitleFormat::WebVtt};
    const SubtitleFormat other =
        *target == SubtitleFormat::WebVtt ? SubtitleFormat::SubRip : SubtitleFormat::WebVtt;
    SubtitleConversion asTarget = ConvertSubtitles(paneText, *target, *target);
    if (asTarget.text)
        return {std::move(*asTarget.text), 0, *target};
    SubtitleConversion asOther = ConvertSubtitles(paneText, other, *target);
    if (asOther.text)
        return {std::move(*asOther.text), 0, *target};
    // Neither format: the line to name is the one where the format the text claims to be in
    // went wrong (a WebVTT text opens with its header line).
    QStringView start(paneText);
    if (start.startsWith(QChar(0xFEFF)))
        start = start.mid(1);
    const bool claimsWebVtt = start.startsWith(QLatin1String("WEBVTT"));
    const bool claimsTarget = claimsWebVtt == (*target == SubtitleFormat::WebVtt);
    return {paneText, (claimsTarget ? asTarget : asOther).firstInvalidLine,
            claimsTarget ? *target : other};
}

QString WriteSubtitleFile(const QString& path, const QString& paneText, SubtitleFileText* written)
{
    const auto failure = [&path](const QString& reason) {
        return QStringLiteral("Cannot create file \"%1\". %2")
            .arg(QDir::toNativeSeparators(path), reason);
    };
    const SubtitleFileText content = SubtitleTextForFile(path, paneText);
    if (written)
        *written = content;
    QSaveFile file(path);
    // In a folder where no temporary file can be made, an existing file the user may write
    // is written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    const QByteArray bytes = SubtitleFileBytes(content.text);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(reason);
    }
    if (!file.commit())
        return failure(file.errorString());
    return {};
}
