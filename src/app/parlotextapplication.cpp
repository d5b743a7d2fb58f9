#include "app/parlotextapplication.h"

#include "platform/desktop.h"

#include <exception>

ParlotextApplication::ParlotextApplication(int& argc, char** argv, Desktop& desktop)
    : QApplication(argc, argv)
    , m_desktop(desktop)
{
}

bool ParlotextApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        reportError(error);
    } catch (...) {
        m_desktop.showMessage(QStringLiteral("Parlotext"), QStringLiteral("Unknown error."),
                              MessageIcon::Error);
    }
    return false;
}

void ParlotextApplication::reportError(const std::exception& error)
{
    m_desktop.showMessage(QStringLiteral("Parlotext"), QString::fromUtf8(error.what()),
                          MessageIcon::Error);
}
