#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>

#include <memory>
#include <vector>

class QAction;
class QEvent;
class QMenu;
class QWidget;

// Holds back the user's input to one window while a request of it runs: the window keeps
// painting, and the clicks, keys and shortcuts meant for it wait in order until the hold
// ends, as they would behind a busy thread. The window's menus are windows of their own:
// a command chosen in one closes the menu at once and waits in the same order, so that no
// choice is lost. Other windows (message boxes) are not held.
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
    // Input that waits: an event for its receiver, or a command chosen in a menu.
    struct Waiting {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
        QPointer<QAction> command;
    };

    bool belongsToWindow(const QObject* object) const;
    bool isMenuOfWindow(const QMenu* menu) const;
    // The command the event chooses in the open menu, or null for navigation.
    static QAction* chosenCommand(QMenu* menu, QEvent* event);

    QPointer<QWidget> m_window;
    int m_holds = 0;
    bool m_busyCursor = false;
    std::vector<Waiting> m_waiting;
    QSet<const QEvent*> m_replaying;
};
