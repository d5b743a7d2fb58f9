#include "transcription/modelnames.h"

const QStringList& ModelNames()
{
    static const QStringList names = {
        QStringLiteral("tiny"),    QStringLiteral("tiny.en"),   QStringLiteral("base"),
        QStringLiteral("base.en"), QStringLiteral("small"),     QStringLiteral("small.en"),
        QStringLiteral("medium"),  QStringLiteral("medium.en"), QStringLiteral("large"),
    };
    return names;
}

bool IsModelName(const QString& name)
{
    return ModelNames().contains(name, Qt::CaseSensitive);
}
