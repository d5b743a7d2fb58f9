#pragma once

#include <QApplication>

class Desktop;

// The application object. An exception that no handler catches ends here: its message is
// shown in an error box titled "Parlotext" and the program goes on.
class ParlotextApplication final : public QApplication {
public:
    ParlotextApplication(int& argc, char** argv, Desktop& desktop);
    bool notify(QObject* receiver, QEvent* event) override;

    // Shows an escaped error the way notify() does; main() uses it for start-up errors.
    void reportError(const std::exception& error);

private:
    Desktop& m_desktop;
};
