#include "platform/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringList>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// "[name]" with blanks allowed around it; returns the name or nothing.
std::optional<QString> sectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith(QLatin1Char('[')) ||
        !trimmed.endsWith(QLatin1Char(']')))
        return std::nullopt;
    return trimmed.mid(1, trimmed.size() - 2).trimmed();
}

bool lineHasKey(const QString& line, const QString& key)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return false;
    return line.left(equals).trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0;
}

QStringList splitLines(const QString& text)
{
    QString unified = text;
    unified.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = unified.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

[[noreturn]] void failWrite(const QString& path, const QString& reason)
{
    throw IniWriteError(QStringLiteral("Cannot write \"%1\": %2").arg(path, reason).toStdString());
}

// The text a write starts from: empty for a file that does not exist yet. A file that
// exists but cannot be read fails the write, since replacing it would drop every value
// it holds.
QString textToChange(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path))
            return {};
        failWrite(path, QStringLiteral("the file cannot be read (%1)").arg(file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        failWrite(path, QStringLiteral("the file cannot be read (%1)").arg(file.errorString()));
    return QString::fromUtf8(bytes);
}

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

std::optional<QString> IniValueInText(const QString& text, const QString& section,
                                      const QString& key)
{
    bool inSection = false;
    for (const QString& line : splitLines(text)) {
        if (const auto name = sectionName(line)) {
            inSection = name->compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (inSection && lineHasKey(line, key))
            return line.mid(line.indexOf(QLatin1Char('=')) + 1);
    }
    return std::nullopt;
}

QString IniTextWithValue(const QString& text, const QString& section, const QString& key,
                         const QString& value)
{
    const QString lineBreak =
        text.contains(QLatin1String("\r\n")) ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QStringList lines = splitLines(text);
    const QString entry = key + QLatin1Char('=') + value;

    qsizetype sectionStart = -1;
    qsizetype lastContentLine = -1; // where a new key of the section goes after
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
            if (sectionStart >= 0)
                break; // left our section without finding the key
            if (name->compare(section, Qt::CaseInsensitive) == 0) {
                sectionStart = i;
                lastContentLine = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (lineHasKey(lines[i], key)) {
            lines[i] = entry;
            return lines.join(lineBreak) + lineBreak;
        }
        if (!lines[i].trimmed().isEmpty())
            lastContentLine = i;
    }
    if (sectionStart >= 0) {
        lines.insert(lastContentLine + 1, entry);
    } else {
        lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    }
    return lines.join(lineBreak) + lineBreak;
}

IniFile::IniFile(QString path)
    : m_path(std::move(path))
{
}

std::optional<QString> IniFile::readString(const QString& section, const QString& key) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return IniValueInText(QString::fromUtf8(file.readAll()), section, key);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    // A line break would end the entry early and turn the rest into lines of their own.
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        failWrite(m_path, QStringLiteral("a value holds a line break"));

    // The lock spans read, change and replace, so that a second copy of the program
    // writing at the same moment never loses this write, nor this one its write.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(5000))
        failWrite(m_path, QStringLiteral("the file is locked by another program"));

    const QString text = IniTextWithValue(textToChange(m_path), section, key, value);
    const QByteArray bytes = text.toUtf8();

    // A temporary file in the same folder, created readable by the owner only, then
    // renamed over the old file: a crash mid-write never leaves a truncated file.
    QTemporaryFile temporary(m_path + QStringLiteral(".XXXXXX"));
    temporary.setAutoRemove(true);
    if (!temporary.open())
        failWrite(m_path, temporary.errorString());
    if (temporary.write(bytes) != bytes.size() || !temporary.flush())
        failWrite(m_path, temporary.errorString());
    if (::fsync(temporary.handle()) != 0)
        failWrite(m_path, QString::fromLocal8Bit(std::strerror(errno)));
    const QByteArray from = QFile::encodeName(temporary.fileName());
    const QByteArray to = QFile::encodeName(m_path);
    if (std::rename(from.constData(), to.constData()) != 0)
        failWrite(m_path, QString::fromLocal8Bit(std::strerror(errno)));
    temporary.setAutoRemove(false);
}
