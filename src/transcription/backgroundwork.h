#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPromise>
#include <QThreadPool>

#include <exception>
#include <memory>
#include <utility>

// Runs work on a thread of the application's thread pool and hands its result to done on
// context's thread, from its event loop, so that a long computation never holds up the
// window. work must hold by value everything it reads. When context is destroyed before the
// result arrives, done is never called and the result is dropped. An exception that work
// throws is thrown again where done would have been called.
template <typename Result, typename Work, typename Done>
void RunInBackground(QObject* context, Work work, Done done)
{
    auto promise = std::make_shared<QPromise<Result>>();
    auto* watcher = new QFutureWatcher<Result>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context,
                     [watcher, done = std::move(done)]() mutable {
                         watcher->deleteLater();
                         done(watcher->future().result());
                     });
    watcher->setFuture(promise->future());
    QThreadPool::globalInstance()->start([promise, work = std::move(work)]() mutable {
        promise->start();
        try {
            promise->addResult(work());
        } catch (...) {
            promise->setException(std::current_exception());
        }
        promise->finish();
    });
}
