// The feedback window as screen readers and keyboard users meet it.
#include "services/widgets/feedback.h"

#include "language/textcatalogue.h"
#include "platform/accessiblelabel.h"
#include "platform/keyboardcontrol.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

void TFeedbackForm::setUpAccessibility()
{
    // The two panels are a choice of one: Tab reaches each, Space or Enter chooses it, and
    // screen readers hear them as radio buttons that say which one is chosen.
    KeyboardControl::attach(
        Panel4, QAccessible::RadioButton, [this] { Image1Click(); },
        [this] { return Panel4->isChosen(); });
    KeyboardControl::attach(
        Panel5, QAccessible::RadioButton, [this] { Image2Click(); },
        [this] { return Panel5->isChosen(); });
    Panel4->setAccessibleName(Panel4->caption());
    Panel5->setAccessibleName(Panel5->caption());
    Image1->setAccessibleName(Panel4->caption());
    Image2->setAccessibleName(Panel5->caption());

    LabelControl(Label2, Memo1);
    Memo1->setAccessibleDescription(Label1->text());
    LabelControl(Label3, Edit1);
    Edit1->setAccessibleDescription(
        TranslateText(QStringLiteral("Optional: the address we may answer")));
}
