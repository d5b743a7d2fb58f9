#include "transcription/widgets/panefiller.h"

#include "transcription/utf16scan.h"
#include "transcription/widgets/windowinputhold.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

// Whether the pane's lines, joined by LF, give back text exactly: the pane starts a new line
// at LF, and also at CR, U+2029 and the frame marks U+FDD0 and U+FDD1.
bool panePreserves(QStringView text)
{
    const char16_t* const begin = text.utf16();
    const char16_t* const end = begin + text.size();
    return FindEitherUnit(begin, end, u'\r', QChar::ParagraphSeparator) == end &&
           FindEitherUnit(begin, end, 0xFDD0, 0xFDD1) == end;
}

} // namespace

PaneFiller::PaneFiller(QPlainTextEdit* pane, WindowInputHold* hold, QObject* parent)
    : QObject(parent)
    , m_pane(pane)
    , m_hold(hold)
    , m_document(pane ? pane->document() : nullptr)
{
    // Any change to the pane's text, by the user or by anything else, ends what the fill
    // knew about its form and marks what of the kept text is out of date; the fill's own
    // pieces come before it knows anything.
    if (m_pane)
        connect(m_pane->document(), &QTextDocument::contentsChange, this,
                [this](int position, int removed, int added) {
                    m_standardForm.reset();
                    noteChange(position, removed, added);
                });
}

PaneFiller::~PaneFiller()
{
    if (m_filling && m_hold)
        m_hold->release();
}

void PaneFiller::setText(const QString& text, std::optional<SubtitleFormat> standardForm)
{
    ++m_generation;
    m_standardForm.reset();
    m_kept.reset();
    if (!m_pane)
        return;
    const bool preserves = panePreserves(text);
    const std::optional<SubtitleFormat> form =
        standardForm && preserves ? standardForm : std::nullopt;
    if (text.size() <= kPieceLength) {
        if (m_filling)
            finish();
        m_pane->setPlainText(text);
        m_standardForm = form;
        keep(text, preserves);
        emit filled();
        return;
    }
    m_textPreserved = preserves;
    m_fillingForm = form;
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
    keep(std::exchange(m_text, QString()), m_textPreserved);
    if (m_pane) {
        m_pane->document()->setUndoRedoEnabled(true);
        m_pane->moveCursor(QTextCursor::Start);
    }
    m_standardForm = std::exchange(m_fillingForm, std::nullopt);
    if (m_hold)
        m_hold->release();
}

void PaneFiller::keep(QString text, bool paneGivesItBack)
{
    m_changed.reset();
    if (paneGivesItBack)
        m_kept = std::move(text);
    else
        m_kept.reset();
}

void PaneFiller::noteChange(qsizetype position, qsizetype removed, qsizetype added)
{
    if (m_filling || !m_kept)
        return;
    if (!m_changed) {
        m_changed = ChangedSpan{position, position + added, position + removed};
        return;
    }
    // The span grows to take in the change; positions in the pane before the change map to
    // the kept text through the span's end.
    ChangedSpan& span = *m_changed;
    const qsizetype changeEnd = position + removed;
    if (changeEnd > span.paneTo) {
        span.keptTo += changeEnd - span.paneTo;
        span.paneTo = changeEnd;
    }
    span.from = std::min(span.from, position);
    span.paneTo += added - removed;
}

QString PaneFiller::paneText()
{
    if (!m_pane)
        return {};
    // The changes followed are those of the pane's document when the filler was made; a pane
    // given another document since is read whole.
    if (m_filling || m_pane->document() != m_document)
        return PaneText(m_pane);
    QTextDocument* const document = m_pane->document();
    const qsizetype paneLength = document->characterCount() - 1; // without the last separator
    if (m_kept && m_changed) {
        const ChangedSpan span = *std::exchange(m_changed, std::nullopt);
        // A span that does not fit the texts (the document reported a change that reaches
        // past its end) gives the text read whole instead.
        const bool fits = span.from >= 0 && span.from <= span.paneTo && span.from <= span.keptTo &&
                          span.keptTo <= m_kept->size() && span.paneTo <= paneLength &&
                          m_kept->size() - span.keptTo + span.paneTo == paneLength;
        if (fits) {
            QTextCursor cursor(document);
            cursor.setPosition(int(span.from));
            cursor.setPosition(int(span.paneTo), QTextCursor::KeepAnchor);
            QString changed = cursor.selectedText();
            changed.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
            m_kept->replace(span.from, span.keptTo - span.from, changed);
        } else {
            m_kept.reset();
        }
    }
    if (!m_kept || m_kept->size() != paneLength)
        m_kept = PaneText(m_pane);
    return *m_kept;
}

QString PaneText(const QPlainTextEdit* pane)
{
    // The raw text separates the pane's lines by U+2029; nothing else in it can be one,
    // since a U+2029 put into the pane starts a new line.
    QString text = pane->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}
