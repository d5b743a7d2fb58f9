// The new-version notice as screen readers and keyboard users meet it.
#include "services/widgets/newversion.h"

#include "language/textcatalogue.h"
#include "platform/keyboardcontrol.h"

#include <QToolButton>

void TNewVer::setUpAccessibility()
{
    // The window has no caption: its heading names it, its link text describes it.
    setAccessibleName(Label1->text());
    setAccessibleDescription(Label2->text());
    Image1->setAccessibleName(m_info.appProduct);
    Button1->setAccessibleName(TranslateText(QStringLiteral("Close")));
    KeyboardControl::attach(Label2, QAccessible::Link, [this] { Label2Click(); });
    Label2->setAccessibleDescription(TranslateText(QStringLiteral("Opens the download page")));
}
