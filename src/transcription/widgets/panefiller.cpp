#include "transcription/widgets/panefiller.h"

#include "transcription/widgets/windowinputhold.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

PaneFiller::PaneFiller(QPlainTextEdit* pane, WindowInputHold* hold, QObject* parent)
    : QObject(parent)
    , m_pane(pane)
    , m_hold(hold)
{
}

PaneFiller::~PaneFiller()
{
    if (m_filling && m_hold)
        m_hold->release();
}

void PaneFiller::setText(const QString& text)
{
    ++m_generation;
    if (!m_pane)
        return;
    if (text.size() <= kPieceLength) {
        if (m_filling)
            finish();
        m_pane->setPlainText(text);
        emit filled();
        return;
    }
    if (!m_filling) {
        m_filling = true;
        if (m_hold)
            m_hold->hold();
    }
    m_text = text;
    m_position = 0;
    m_pane->clear();
    // The pieces are one edit: no undo step for any of them, as for setPlainText.
    m_pane->document()->setUndoRedoEnabled(false);
    // One piece now, the rest from the event loop.
    fillNextPiece(m_generation, 0);
}

void PaneFiller::fillNextPiece(quint64 generation, qint64 budgetMs)
{
    if (generation != m_generation || !m_pane)
        return;
    QElapsedTimer turn;
    turn.start();
    QTextCursor cursor(m_pane->document());
    cursor.movePosition(QTextCursor::End);
    do {
        qsizetype end = m_position + kPieceLength;
        if (end >= m_text.size()) {
            end = m_text.size();
        } else {
            // Pieces end after a line break when one is near, so that no line is laid out
            // again for every piece; else anywhere but inside a surrogate pair.
            const qsizetype lineEnd =
                QStringView(m_text).mid(end, kPieceLength).indexOf(QLatin1Char('\n'));
            if (lineEnd >= 0)
                end += lineEnd + 1;
            else if (m_text[end - 1].isHighSurrogate())
                ++end;
        }
        cursor.insertText(m_text.mid(m_position, end - m_position));
        m_position = end;
    } while (m_position < m_text.size() && turn.elapsed() < budgetMs);
    if (m_position < m_text.size()) {
        QTimer::singleShot(0, this,
                           [this, generation] { fillNextPiece(generation, kTurnBudgetMs); });
        return;
    }
    finish();
    emit filled();
}

void PaneFiller::completeNow()
{
    if (!m_filling || !m_pane)
        return;
    ++m_generation; // the piece already queued finds itself outdated
    QTextCursor cursor(m_pane->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(m_text.mid(m_position));
    m_position = m_text.size();
    finish();
    emit filled();
}

void PaneFiller::finish()
{
    m_filling = false;
    m_text.clear();
    if (m_pane) {
        m_pane->document()->setUndoRedoEnabled(true);
        m_pane->moveCursor(QTextCursor::Start);
    }
    if (m_hold)
        m_hold->release();
}

QString PaneText(const QPlainTextEdit* pane)
{
    // The raw text separates the pane's lines by U+2029; nothing else in it can be one,
    // since a U+2029 put into the pane starts a new line.
    QString text = pane->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}
