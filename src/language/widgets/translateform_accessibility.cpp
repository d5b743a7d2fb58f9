// The language window as screen readers and keyboard users meet it.
#include "language/widgets/translateform.h"

#include "platform/accessiblelabel.h"
#include "platform/keyboardcontrol.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

void TTranslateForm::setUpAccessibility()
{
    LabelControl(Label1, ComboBox1);
    LabelControl(Label2, RichEdit1);
    // The translator box is read only: Tab goes on to the next control, and the arrow keys
    // move a visible cursor through the names, line by line.
    RichEdit1->setTabChangesFocus(true);
    RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The link to the translators' page: Tab reaches it, Space or Enter opens it; its hint,
    // the page's address, is what a screen reader adds to its name.
    KeyboardControl::attach(Label3, QAccessible::Link, [this] { Label3Click(); });
    // The window's default button looks the same with and without the focus.
    ShowKeyboardFocus(Button1);
    Button1->setAccessibleDescription(translate(
        QStringLiteral("Takes the chosen language; a new language restarts the program")));
}
