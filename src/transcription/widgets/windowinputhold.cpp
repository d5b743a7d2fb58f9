#include "transcription/widgets/windowinputhold.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
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
    // Replayed in the order they came, through the event queue like any input; a chosen
    // command is triggered in its place in that queue.
    for (Waiting& waiting : m_waiting) {
        if (waiting.event) {
            if (!waiting.receiver)
                continue;
            m_replaying.insert(waiting.event.get());
            QCoreApplication::postEvent(waiting.receiver, waiting.event.release());
        } else if (waiting.command) {
            QMetaObject::invokeMethod(
                waiting.command.data(),
                [command = waiting.command] {
                    if (command && command->isEnabled())
                        command->trigger();
                },
                Qt::QueuedConnection);
        }
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

bool WindowInputHold::isMenuOfWindow(const QMenu* menu) const
{
    // Menus of the menu bar, their submenus and the controls' pop-up menus all descend
    // from the window, although each is a window of its own.
    for (const QObject* ancestor = menu->parent(); ancestor; ancestor = ancestor->parent()) {
        if (ancestor == m_window)
            return true;
    }
    return false;
}

QAction* WindowInputHold::chosenCommand(QMenu* menu, QEvent* event)
{
    QAction* chosen = nullptr;
    if (event->type() == QEvent::MouseButtonRelease) {
        chosen = menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    } else if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool spaceChooses =
            menu->style()->styleHint(QStyle::SH_Menu_SpaceActivatesItem, nullptr, menu);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
            (key->key() == Qt::Key_Space && spaceChooses)) {
            chosen = menu->activeAction();
        } else if (key->text().size() == 1 && !(key->modifiers() & Qt::ControlModifier)) {
            // A mnemonic chooses its item when exactly one item has it, as the menu does.
            const char16_t typed = key->text().at(0).toUpper().unicode();
            for (QAction* action : menu->actions()) {
                if (action->isSeparator() || !action->isVisible() || !action->isEnabled())
                    continue;
                const QKeySequence mnemonic = QKeySequence::mnemonic(action->text());
                if (mnemonic.isEmpty() || (mnemonic[0].toCombined() & 0xffff) != typed)
                    continue;
                if (chosen)
                    return nullptr; // several: the menu moves between them
                chosen = action;
            }
        }
    }
    if (!chosen || chosen->isSeparator() || !chosen->isEnabled() || chosen->menu())
        return nullptr;
    return chosen;
}

bool WindowInputHold::eventFilter(QObject* watched, QEvent* event)
{
    if (m_holds == 0 && m_replaying.isEmpty())
        return false;
    if (!isUserInput(event->type()))
        return false;
    if (m_replaying.remove(event))
        return false;
    if (m_holds == 0 || !m_window)
        return false;
    if (auto* menu = qobject_cast<QMenu*>(watched); menu && isMenuOfWindow(menu)) {
        // Moving through the menu goes on; a chosen command closes the menu as usual and
        // waits for the hold to end.
        QAction* command = chosenCommand(menu, event);
        if (!command)
            return false;
        m_waiting.push_back({nullptr, nullptr, command});
        // The menu and the menus it opened from close, as after any choice.
        for (int open = 0; open < 16; ++open) {
            QWidget* popup = QApplication::activePopupWidget();
            if (!popup || !popup->close())
                break;
        }
        return true;
    }
    if (!belongsToWindow(watched))
        return false;
    m_waiting.push_back({watched, std::unique_ptr<QEvent>(event->clone()), nullptr});
    return true;
}
