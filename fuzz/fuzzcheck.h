#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// A property of a parser that must hold for every input: when it does not, the fuzzer
// stops with the input saved, as for a crash.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// A folder of its own for the fuzzers that read files, removed when the run ends.
inline const QString& FuzzFolder()
{
    static QTemporaryDir folder;
    if (!folder.isValid())
        std::abort();
    static const QString path = folder.path();
    return path;
}

inline bool ContainsLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}
