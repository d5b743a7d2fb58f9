#include "platform/keyboardcontrol.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPen>
#include <QTextDocumentFragment>
#include <QWidget>

namespace {

// What assistive technology sees of a control with a KeyboardControl: its role, its
// check state when it has one, and a press action that runs its command.
class KeyboardControlAccessible final : public QAccessibleWidget {
public:
    KeyboardControlAccessible(QWidget* control, KeyboardControl* helper)
        : QAccessibleWidget(control, helper->role())
        , m_helper(helper)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        // A label's own text is its name unless it was given another.
        if (t == QAccessible::Name && text.isEmpty()) {
            if (const auto* label = qobject_cast<const QLabel*>(widget())) {
                text = Qt::mightBeRichText(label->text())
                           ? QTextDocumentFragment::fromHtml(label->text()).toPlainText()
                           : label->text();
            }
        }
        return text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (m_helper && m_helper->isCheckable()) {
            state.checkable = true;
            state.checked = m_helper->isChecked();
        }
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction()) {
            if (m_helper)
                m_helper->activate();
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }

    QStringList keyBindingsForAction(const QString& actionName) const override
    {
        if (actionName == pressAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }

private:
    QPointer<KeyboardControl> m_helper;
};

QAccessibleInterface* keyboardControlFactory(const QString&, QObject* object)
{
    auto* control = qobject_cast<QWidget*>(object);
    if (!control)
        return nullptr;
    KeyboardControl* helper = KeyboardControl::of(control);
    return helper ? new KeyboardControlAccessible(control, helper) : nullptr;
}

bool isActivationKey(const QKeyEvent* key)
{
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    return modifiers == Qt::NoModifier &&
           (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return ||
            key->key() == Qt::Key_Enter || key->key() == Qt::Key_Select);
}

} // namespace

KeyboardControl::KeyboardControl(QWidget* control, QAccessible::Role role,
                                 std::function<void()> activate, std::function<bool()> checked)
    : QObject(control)
    , m_control(control)
    , m_role(role)
    , m_activate(std::move(activate))
    , m_checked(std::move(checked))
{
}

KeyboardControl* KeyboardControl::attach(QWidget* control, QAccessible::Role role,
                                         std::function<void()> activate,
                                         std::function<bool()> checked)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(keyboardControlFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    auto* helper = new KeyboardControl(control, role, std::move(activate), std::move(checked));
    // Qt makes and keeps a control's interface at its first change (a label's first text,
    // say); one made before the helper existed would still show the old role.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(control);
        made && !dynamic_cast<KeyboardControlAccessible*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    // Like a button: Tab reaches it, and a click leaves the keyboard on it.
    control->setFocusPolicy(Qt::StrongFocus);
    control->installEventFilter(helper);
    ShowKeyboardFocus(control);
    return helper;
}

KeyboardControl* KeyboardControl::of(const QObject* control)
{
    return control ? control->findChild<KeyboardControl*>(QString(), Qt::FindDirectChildrenOnly)
                   : nullptr;
}

void KeyboardControl::activate()
{
    const QPointer<QWidget> control = m_control;
    const bool checkedBefore = isChecked();
    if (m_activate)
        m_activate();
    if (control && isCheckable() && isChecked() != checkedBefore) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(control, changed);
        QAccessible::updateAccessibility(&event);
    }
}

bool KeyboardControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_control && event->type() == QEvent::KeyPress &&
        isActivationKey(static_cast<QKeyEvent*>(event))) {
        activate();
        return true;
    }
    return false;
}

namespace {

// Paints the focus frame after the control has painted itself.
class FocusFrame final : public QObject {
public:
    explicit FocusFrame(QWidget* control)
        : QObject(control)
        , m_control(control)
    {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_control)
            return false;
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            m_control->update();
            return false;
        case QEvent::Paint:
            if (m_painting || !m_control->hasFocus())
                return false;
            paintWithFrame(event);
            return true;
        default:
            return false;
        }
    }

private:
    void paintWithFrame(QEvent* event)
    {
        // The control paints itself first; the frame goes on top, inside its edges, in the
        // selection colour, which stands out on light and dark faces alike. As with the
        // style's own focus marks, it shows once the keyboard has moved the focus.
        m_painting = true;
        QCoreApplication::sendEvent(m_control, event);
        m_painting = false;
        if (!m_control->window()->testAttribute(Qt::WA_KeyboardFocusChange))
            return;

        QPainter painter(m_control);
        QPen pen(m_control->palette().color(QPalette::Active, QPalette::Highlight), 2);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(m_control->rect()).adjusted(2, 2, -2, -2));
    }

    QWidget* m_control;
    bool m_painting = false;
};

} // namespace

void ShowKeyboardFocus(QWidget* control)
{
    new FocusFrame(control);
}
