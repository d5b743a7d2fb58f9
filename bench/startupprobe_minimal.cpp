// The reference: the smallest Qt Widgets program with a main window.
#include "startupprobe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Hello")));
    window.resize(684, 493);
    window.show();
    QTimer::singleShot(0, [] { startupprobe::reportShownAndIdleMemory(); });
    return application.exec();
}
