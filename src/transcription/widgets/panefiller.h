#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QPlainTextEdit;
class WindowInputHold;

// Puts a whole new text into a plain-text pane, as setPlainText does (lines split at LF,
// no undo step, cursor at the start). A large text goes in piece by piece, one piece per
// turn of the event loop, so the window keeps painting; the window's input is held until
// the text is complete, so nothing edits or saves a half-filled pane.
class PaneFiller final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaneFiller)

public:
    static constexpr qsizetype kPieceLength = 256 * 1024;

    PaneFiller(QPlainTextEdit* pane, WindowInputHold* hold, QObject* parent = nullptr);
    ~PaneFiller() override;

    // Replaces the pane's text; a fill still under way is abandoned.
    void setText(const QString& text);
    bool isFilling() const { return m_filling; }

signals:
    void filled();

private:
    void fillNextPiece(quint64 generation);
    void finish();

    QPointer<QPlainTextEdit> m_pane;
    QPointer<WindowInputHold> m_hold;
    QString m_text;
    qsizetype m_position = 0;
    quint64 m_generation = 0;
    bool m_filling = false;
};
