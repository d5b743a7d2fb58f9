#include "transcription/widgets/panefiller.h"

#include "transcription/widgets/windowinputhold.h"

#include <QPlainTextEdit>
#include <QTextCursor>
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
    fillNextPiece(m_generation);
}

void PaneFiller::fillNextPiece(quint64 generation)
{
    if (generation != m_generation || !m_pane)
        return;
    qsizetype end = m_position + kPieceLength;
    if (end >= m_text.size()) {
        end = m_text.size();
    } else {
        // Pieces end after a line break, so no character is ever split.
        const qsizetype lineEnd = m_text.indexOf(QLatin1Char('\n'), end);
        end = lineEnd < 0 ? m_text.size() : lineEnd + 1;
    }
    QTextCursor cursor(m_pane->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(m_text.mid(m_position, end - m_position));
    m_position = end;
    if (m_position < m_text.size()) {
        QTimer::singleShot(0, this, [this, generation] { fillNextPiece(generation); });
        return;
    }
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
