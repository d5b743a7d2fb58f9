#include "core/networkclientrelease.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QThread>

namespace {

QThread* g_releaseThread = nullptr;

// Ends the thread with the application: clients still waiting there are freed first, as a
// thread frees what waits for deletion when it finishes.
void endReleaseThread()
{
    if (!g_releaseThread)
        return;
    g_releaseThread->quit();
    g_releaseThread->wait();
    delete g_releaseThread;
    g_releaseThread = nullptr;
}

QThread* releaseThread()
{
    if (!g_releaseThread) {
        g_releaseThread = new QThread;
        g_releaseThread->setObjectName(QStringLiteral("network client release"));
        g_releaseThread->start(QThread::LowPriority);
        qAddPostRoutine(endReleaseThread);
    }
    return g_releaseThread;
}

} // namespace

void ReleaseNetworkClient(QNetworkAccessManager* manager)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread()) {
        manager->deleteLater();
        return;
    }
    const QPointer<QNetworkAccessManager> client(manager);
    QMetaObject::invokeMethod(
        application,
        [client] {
            if (!client)
                return;
            client->setParent(nullptr);
            client->moveToThread(releaseThread());
            client->deleteLater();
        },
        Qt::QueuedConnection);
}
