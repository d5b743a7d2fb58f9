#pragma once

#include "transcription/subtitles.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QPlainTextEdit;
class QTextDocument;
class WindowInputHold;

// Puts a whole new text into a plain-text pane, as setPlainText does (lines split at LF,
// no undo step, cursor at the start). A large text goes in piece by piece, one piece per
// turn of the event loop, so the window keeps painting; the window's input is held until
// the text is complete, so nothing edits or saves a half-filled pane.
class PaneFiller final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaneFiller)

public:
    // A text longer than one piece goes in by pieces; each turn of the event loop puts in
    // pieces until its time budget is spent.
    static constexpr qsizetype kPieceLength = 64 * 1024;
    static constexpr qint64 kTurnBudgetMs = 8;

    PaneFiller(QPlainTextEdit* pane, WindowInputHold* hold, QObject* parent = nullptr);
    ~PaneFiller() override;

    // Replaces the pane's text; a fill still under way is abandoned. standardForm, when
    // given, is the subtitle format whose standard form the text is in.
    void setText(const QString& text, std::optional<SubtitleFormat> standardForm = {});
    bool isFilling() const { return m_filling; }
    // The format whose standard form the pane holds: known from the fill as long as nothing
    // has changed the pane since, so that saving need not read the text again to tell.
    // Empty while a fill is under way, after any edit, and when the pane's lines would not
    // give back the text it was given (a text holding CR, U+2029, U+FDD0 or U+FDD1, which
    // the pane takes as line breaks).
    std::optional<SubtitleFormat> standardForm() const { return m_standardForm; }
    // Puts the rest of a fill under way into the pane at once, so that the pane holds the
    // whole text before anything reads it (saving, for one).
    void completeNow();

    // What PaneText gives for the pane, made from the text the filler last put in (or last
    // gave) and the part of the pane changed since, so that only that part is read out of
    // the pane. The filler keeps the text it gives, which shares it with the caller.
    QString paneText();

signals:
    void filled();

private:
    // The part of the pane changed since the kept text was its whole text: from from on,
    // up to paneTo in the pane and up to keptTo in the kept text (the two are the same
    // before from and after their ends).
    struct ChangedSpan {
        qsizetype from = 0;
        qsizetype paneTo = 0;
        qsizetype keptTo = 0;
    };

    void fillNextPiece(quint64 generation, qint64 budgetMs);
    void finish();
    void keep(QString text, bool paneGivesItBack);
    void noteChange(qsizetype position, qsizetype removed, qsizetype added);

    QPointer<QPlainTextEdit> m_pane;
    QPointer<WindowInputHold> m_hold;
    QPointer<QTextDocument> m_document; // the pane's document, whose changes are followed
    QString m_text;
    qsizetype m_position = 0;
    quint64 m_generation = 0;
    bool m_filling = false;
    std::optional<SubtitleFormat> m_fillingForm; // of the text being filled
    bool m_textPreserved = false; // whether the pane gives back the text being filled
    std::optional<SubtitleFormat> m_standardForm;
    // The pane's text as it was when the filler last filled or read it, when known; and
    // what has changed in the pane since.
    std::optional<QString> m_kept;
    std::optional<ChangedSpan> m_changed;
};

// The characters the pane holds, lines joined by LF. Unlike the plain-text export, it keeps
// U+00A0 (no-break space) and U+2028 (line separator) as they are.
QString PaneText(const QPlainTextEdit* pane);
