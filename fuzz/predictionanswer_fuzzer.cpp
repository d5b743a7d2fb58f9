// The prediction service's answers as the create request and the poll read them, and the
// layout the poll shows for a failed prediction.
#include "fuzzcheck.h"
#include "transcription/jsonreformat.h"
#include "transcription/predictionanswer.h"
#include "transcription/textbytes.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString answer = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const CreateAnswer created = ParseCreateAnswer(answer);
    const PredictionAnswer polled = ParsePredictionAnswer(answer);
    // Both read the same "status" member.
    FUZZ_CHECK(created.status == AsciiLowerCase(polled.status));
    FUZZ_CHECK(polled.hasStatus == !polled.status.isEmpty());
    FUZZ_CHECK(polled.hasSubtitles || polled.subtitles.isEmpty());
    JsonReformat(answer);
    return 0;
}
