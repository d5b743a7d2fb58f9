#include "transcription/subtitlefile.h"

#include "transcription/textbytes.h"

#include <QDir>
#include <QSaveFile>

QStringList SaveDialogFilters(bool vttChosen)
{
    const QString vtt = QStringLiteral("VTT File|*.vtt");
    const QString srt = QStringLiteral("SRT File|*.srt");
    const QString txt = QStringLiteral("TXT File|*.txt");
    return vttChosen ? QStringList{vtt, srt, txt} : QStringList{srt, vtt, txt};
}

QByteArray SubtitleFileBytes(const QString& paneText)
{
    QString text = NormaliseLineBreaks(paneText);
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

QString WriteSubtitleFile(const QString& path, const QString& paneText)
{
    const auto failure = [&path](const QString& reason) {
        return QStringLiteral("Cannot create file \"%1\". %2")
            .arg(QDir::toNativeSeparators(path), reason);
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    const QByteArray bytes = SubtitleFileBytes(paneText);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(reason);
    }
    if (!file.commit())
        return failure(file.errorString());
    return {};
}
