#include "transcription/widgets/windowinputhold.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

WindowInputHold::WindowInputHold(QWidget* window)
    : QObject(window)
    , m_window(window)
{
    qApp->installEventFilter(this);
}

WindowInputHold::~WindowInputHold()
{
    if (m_busyCursor)
        QApplication::restoreOverrideCursor();
}

void WindowInputHold::setBusyCursor(bool busy)
{
    if (busy == m_busyCursor)
        return;
    m_busyCursor = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void WindowInputHold::hold()
{
    if (m_holds++ == 0) {
        // Events replayed after the last hold have been delivered by now.
        m_replaying.clear();
    }
}

void WindowInputHold::release()
{
    if (m_holds == 0 || --m_holds > 0)
        return;
    // Replayed in the order they came, through the event queue like any input.
    for (auto& [receiver, event] : m_waiting) {
        if (!receiver)
            continue;
        m_replaying.insert(event.get());
        QCoreApplication::postEvent(receiver, event.release());
    }
    m_waiting.clear();
}

bool WindowInputHold::belongsToWindow(const QObject* object) const
{
    if (object->isWidgetType())
        return static_cast<const QWidget*>(object)->window() == m_window;
    // Actions and other helpers: those of the window's menus and toolbar.
    for (const QObject* ancestor = object; ancestor; ancestor = ancestor->parent()) {
        if (ancestor == m_window)
            return true;
    }
    return false;
}

bool WindowInputHold::eventFilter(QObject* watched, QEvent* event)
{
    if (m_holds == 0 && m_replaying.isEmpty())
        return false;
    if (!isUserInput(event->type()))
        return false;
    if (m_replaying.remove(event))
        return false;
    if (m_holds == 0 || !m_window || !belongsToWindow(watched))
        return false;
    m_waiting.emplace_back(watched, std::unique_ptr<QEvent>(event->clone()));
    return true;
}
