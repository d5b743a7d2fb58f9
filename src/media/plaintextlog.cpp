#include "media/plaintextlog.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QString withoutZeroCharacters(QString text)
{
    // A zero character would end the text in some of the ways the pane hands it on; the
    // output after it must stay, so it is shown as the replacement mark.
    text.replace(QChar(u'\0'), QChar::ReplacementCharacter);
    return text;
}

} // namespace

void PlainTextEditLog::appendLine(const QString& line)
{
    QTextDocument* document = m_pane.document();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    const bool atLineStart = document->lastBlock().length() <= 1;
    QString text;
    text.reserve(line.size() + 2);
    if (!atLineStart)
        text += QLatin1Char('\n');
    text += withoutZeroCharacters(line);
    text += QLatin1Char('\n');
    cursor.insertText(text);
}

void PlainTextEditLog::appendText(const QString& text)
{
    QTextCursor cursor(m_pane.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(withoutZeroCharacters(text));
}

void RunConsoleCommand(const QString& command, const QString& workingFolder, QPlainTextEdit* pane)
{
    PlainTextEditLog log(*pane);
    RunConsoleCommand(command, workingFolder, log, [] {
        // The window repaints and its timers tick while the command runs, so it never looks
        // hung; clicks and keys wait until the command has ended, so that no command of the
        // window can start again in the middle of this one.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
}
