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
    if (event->button() == Qt::RightButton)
        return;
    m_dragging = true;
    m_lastCursor = event->globalPosition().toPoint();
}

void BorderlessDrag::move(QMouseEvent* event)
{
    event->accept();
    if (!m_dragging)
        return;
    const QPoint cursor = event->globalPosition().toPoint();
    m_window.move(m_window.pos() + (cursor - m_lastCursor));
    m_lastCursor = cursor;
}

void BorderlessDrag::release(QMouseEvent* event)
{
    event->accept();
    m_dragging = false;
}
