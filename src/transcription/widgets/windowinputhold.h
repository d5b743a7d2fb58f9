#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>

#include <memory>
#include <utility>
#include <vector>

class QEvent;
class QWidget;

// Holds back the user's input to one window while a request of it runs: the window keeps
// painting, and the clicks, keys and shortcuts meant for it wait in order until the hold
// ends, as they would behind a busy thread. Other windows (message boxes) are not held.
class WindowInputHold final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowInputHold)

public:
    explicit WindowInputHold(QWidget* window);
    ~WindowInputHold() override;

    // Holds are counted: input flows again when every hold is released.
    void hold();
    void release();
    bool isHeld() const { return m_holds > 0; }
    // The arrow with the hourglass over the whole program.
    void setBusyCursor(bool busy);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongsToWindow(const QObject* object) const;

    QPointer<QWidget> m_window;
    int m_holds = 0;
    bool m_busyCursor = false;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_waiting;
    QSet<const QEvent*> m_replaying;
};
