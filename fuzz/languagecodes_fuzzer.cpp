// LanguageCodes.csv as the program reads it at start-up: its encoding picked by the
// byte-order mark, its lines split into code and file name, and the language file chosen
// by the user's language identifier.
#include "fuzzcheck.h"
#include "language/languagecodes.h"
#include "language/textcatalogue.h"

#include <QDir>
#include <QFile>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

// A program folder with two language files for the list to choose from.
const QString& programFolder()
{
    static const QString folder = [] {
        const QString path = FuzzFolder() + QStringLiteral("/program");
        QDir().mkpath(path + QStringLiteral("/Languages"));
        writeFile(path + QStringLiteral("/Languages/German.lang.txt"), "{Open}\xC3\x96"
                                                                       "ffnen\r\n");
        writeFile(path + QStringLiteral("/Languages/Francais.lang.txt"), "{Open}Ouvrir\n");
        return path;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const quint16 userLanguageId = provider.ConsumeIntegral<quint16>();
    const std::string csv = provider.ConsumeRemainingBytesAsString();
    const QString codesPath = programFolder() + QStringLiteral("/Languages/LanguageCodes.csv");
    writeFile(codesPath, QByteArray(csv.data(), qsizetype(csv.size())));

    for (const QString& line : ReadTextFileLines(codesPath)) {
        FUZZ_CHECK(!ContainsLineBreak(line));
        if (const auto entry = ParseLanguageCodeLine(line)) {
            FUZZ_CHECK(TrimBlanksAndControls(entry->code) == entry->code);
            FUZZ_CHECK(TrimBlanksAndControls(entry->fileName) == entry->fileName);
        }
    }

    TextCatalogue catalogue;
    catalogue.LoadLanguage(programFolder(), userLanguageId, QString());
    // Only a listed file can be chosen.
    FUZZ_CHECK(catalogue.LanguageFile.isEmpty() ||
               catalogue.LanguageName == QLatin1String("German") ||
               catalogue.LanguageName == QLatin1String("Francais"));
    catalogue.TranslateText(QStringLiteral("Open"));
    return 0;
}
