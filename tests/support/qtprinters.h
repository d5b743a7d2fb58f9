#pragma once

// Readable GoogleTest output for Qt's value types. Included into every test source by the
// build, so that a failed comparison of texts shows the texts.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <ostream>

inline void PrintTo(const QString& value, std::ostream* out)
{
    *out << '"' << value.toStdString() << '"';
}

inline void PrintTo(const QByteArray& value, std::ostream* out)
{
    *out << '"' << value.toStdString() << '"';
}

inline void PrintTo(const QStringList& value, std::ostream* out)
{
    *out << '{';
    for (qsizetype i = 0; i < value.size(); ++i)
        *out << (i ? ", \"" : "\"") << value[i].toStdString() << '"';
    *out << '}';
}

inline void PrintTo(const QUrl& value, std::ostream* out)
{
    *out << value.toString().toStdString();
}
