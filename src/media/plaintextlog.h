#pragma once

#include "media/consolerunner.h"

class QPlainTextEdit;

// A log pane as the console runner's log. Text goes in at the end of the document through
// a cursor, so each piece costs its own length and not the length of the whole pane.
class PlainTextEditLog final : public ConsoleLog {
public:
    explicit PlainTextEditLog(QPlainTextEdit& pane)
        : m_pane(pane)
    {
    }
    void appendLine(const QString& line) override;
    void appendText(const QString& text) override;

private:
    QPlainTextEdit& m_pane;
};

// The main window's form of the runner: the captured output goes into pane. While the
// command runs the window keeps painting, but takes no input (see the definition).
void RunConsoleCommand(const QString& command, const QString& workingFolder, QPlainTextEdit* pane);
