// The update check's answer: its lines, the tags on them, and the version it announces.
#include "fuzzcheck.h"
#include "services/check.h"
#include "services/formpost.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const QString name = QString::fromStdString(provider.ConsumeRandomLengthString(16));
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QString reply = QString::fromUtf8(rest.data(), qsizetype(rest.size()));

    const QStringList lines = SplitReplyLines(reply);
    for (const QString& line : lines) {
        FUZZ_CHECK(!ContainsLineBreak(line));
        // A tag read from a line is exactly what stands between the tags.
        const QString tag = ReadTag(line, name);
        if (!tag.isEmpty())
            FUZZ_CHECK(QLatin1Char('<') + name.toLower() + QLatin1Char('>') + tag +
                           QLatin1String("</") + name.toLower() + QLatin1Char('>') ==
                       line);
    }
    const QString trimmed = TrimServiceText(reply);
    FUZZ_CHECK(TrimServiceText(trimmed) == trimmed);

    const CheckReply parsed = ParseCheckReply(reply);
    FUZZ_CHECK(parsed.valid || (parsed.LatestVersion.isEmpty() && parsed.DownloadURL.isEmpty()));
    if (parsed.valid)
        ShouldAnnounce(parsed.LatestVersion, QStringLiteral("1.3"), 1, 1);
    IsNumericVersion(trimmed);
    return 0;
}
