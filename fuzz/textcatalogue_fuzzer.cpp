// A language file's text and the lookup of interface strings in it.
#include "fuzzcheck.h"
#include "language/languagecodes.h"
#include "language/textcatalogue.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const QString key = QString::fromStdString(provider.ConsumeRandomLengthString(64));
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QStringList lines = SplitUtf8Lines(QByteArray(rest.data(), qsizetype(rest.size())));
    for (const QString& line : lines)
        FUZZ_CHECK(!ContainsLineBreak(line));

    TextCatalogue catalogue;
    catalogue.LanguageFile = QStringLiteral("fuzz.lang.txt");
    catalogue.LanguageLines = lines;
    const QString translated = catalogue.TranslateText(key);
    FUZZ_CHECK(!translated.isEmpty() || key.isEmpty());
    FindTranslation(key, lines);

    // The first line's own key finds the text after it.
    if (!lines.isEmpty() && lines.first().startsWith(QLatin1Char('{'))) {
        const QString& first = lines.first();
        const qsizetype close = first.indexOf(QLatin1Char('}'));
        if (close > 0)
            FUZZ_CHECK(FindTranslation(first.mid(1, close - 1), lines) == first.mid(close + 1));
    }
    return 0;
}
