// settings.ini's text: reading a value, and writing one that is read back as written.
#include "fuzzcheck.h"
#include "platform/inifile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

namespace {

QString consumeText(FuzzedDataProvider& provider, std::size_t maxLength)
{
    return QString::fromStdString(provider.ConsumeRandomLengthString(maxLength));
}

// A section or key the program could use: one line, no blanks around it; a key holds no
// "=" and does not start like a section header.
bool usableName(const QString& name, bool isKey)
{
    if (ContainsLineBreak(name) || name.trimmed() != name || name.isEmpty())
        return false;
    if (isKey)
        return !name.contains(QLatin1Char('=')) && !name.startsWith(QLatin1Char('['));
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const QString section = consumeText(provider, 24);
    const QString key = consumeText(provider, 24);
    const QString value = consumeText(provider, 64);
    const QString text = QString::fromStdString(provider.ConsumeRemainingBytesAsString());

    IniValueInText(text, section, key);
    const QString written = IniTextWithValue(text, section, key, value);
    if (usableName(section, false) && usableName(key, true) && !ContainsLineBreak(value)) {
        const auto readBack = IniValueInText(written, section, key);
        FUZZ_CHECK(readBack.has_value() && *readBack == value);
    }
    return 0;
}
