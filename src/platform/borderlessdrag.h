#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

// Moves a window without a title bar while the left button is held on it: by exactly the
// pointer's movement in screen coordinates since the previous point. No other button starts
// or ends a drag. The small windows feed it their mouse events.
class BorderlessDrag final {
public:
    explicit BorderlessDrag(QWidget& window);

    void press(QMouseEvent* event);
    void move(QMouseEvent* event);
    void release(QMouseEvent* event);
    bool isDragging() const { return m_dragging; }

private:
    QWidget& m_window;
    bool m_dragging = false;
    QPoint m_lastCursor;
};
