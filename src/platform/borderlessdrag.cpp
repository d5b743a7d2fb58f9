#include "platform/borderlessdrag.h"

#include <QMouseEvent>
#include <QWidget>

BorderlessDrag::BorderlessDrag(QWidget& window)
    : m_window(window)
{
}

void BorderlessDrag::press(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_lastCursor = event->globalPosition().toPoint();
}

void BorderlessDrag::move(QMouseEvent* event)
{
    event->accept();
    if (!m_dragging)
        return;
    // A release that never arrived (it went to another window) ends the drag here.
    if (!(event->buttons() & Qt::LeftButton)) {
        m_dragging = false;
        return;
    }
    const QPoint cursor = event->globalPosition().toPoint();
    m_window.move(m_window.pos() + (cursor - m_lastCursor));
    m_lastCursor = cursor;
}

void BorderlessDrag::release(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}
