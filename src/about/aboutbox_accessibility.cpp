// The about window as screen readers and keyboard users meet it.
#include "about/aboutbox.h"

#include "language/textcatalogue.h"
#include "platform/keyboardcontrol.h"

#include <QLabel>
#include <QPushButton>

void TAboutBox::setUpAccessibility()
{
    Image2->setAccessibleName(m_info.identity.AppProduct);
    BitBtn1->setAccessibleDescription(TranslateText(QStringLiteral("Closes this window")));
    BitBtn2->setAccessibleDescription(TranslateText(QStringLiteral(
        "Opens a menu with the acknowledgements, how to uninstall and the licence")));
    // The web address is a link: Tab reaches it after the buttons, Space or Enter opens it.
    // Its hint, the full address, is what a screen reader adds to its name.
    KeyboardControl::attach(Label5, QAccessible::Link, [this] { Label5Click(); });
}
