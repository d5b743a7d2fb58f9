#pragma once

#include <QAccessible>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// Draws a focus frame over control while the keyboard is on it, for controls whose own
// look does not show the focus clearly (a button that is always drawn as the window's
// default one, a label). The frame is a child of the control and ends with it.
void ShowKeyboardFocus(QWidget* control);

// Makes a control that only answers the mouse (a link label, a clickable panel) usable
// from the keyboard and by screen readers: it joins the Tab chain, Space and Enter
// activate it, a focus frame shows when the keyboard is on it, and assistive technology
// sees it as the given role with a press action. The helper is a child of the control and
// ends with it.
class KeyboardControl final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeyboardControl)

public:
    // checked, when given, makes the control checkable for assistive technology (a choice
    // shown by the control's own looks) and tells whether it is chosen.
    static KeyboardControl* attach(QWidget* control, QAccessible::Role role,
                                   std::function<void()> activate,
                                   std::function<bool()> checked = {});
    // The helper of control, or null.
    static KeyboardControl* of(const QObject* control);

    QAccessible::Role role() const { return m_role; }
    bool isCheckable() const { return bool(m_checked); }
    bool isChecked() const { return m_checked && m_checked(); }
    // Runs the control's command, as a click would, and tells assistive technology when
    // a checkable control's state changed.
    void activate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyboardControl(QWidget* control, QAccessible::Role role, std::function<void()> activate,
                    std::function<bool()> checked);

    QPointer<QWidget> m_control;
    QAccessible::Role m_role;
    std::function<void()> m_activate;
    std::function<bool()> m_checked;
};
