// JsonReformat over any bytes: never a fault, never more than linear work, and a layout
// that is laid out again comes back unchanged.
#include "fuzzcheck.h"
#include "transcription/jsonreformat.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The bytes as given, not followed by a terminating zero, so that a read past the end
    // is caught.
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray laidOut = JsonReformat(input);
    if (laidOut != "null")
        FUZZ_CHECK(JsonReformat(laidOut) == laidOut);
    // The text overload, as the result pane calls it.
    const QString text = QString::fromUtf8(input);
    FUZZ_CHECK(JsonReformat(text) == QString::fromUtf8(JsonReformat(text.toUtf8())));
    return 0;
}
