// The version block of a program file: the ELF section table that locates it and the
// block's lines.
#include "fuzzcheck.h"
#include "platform/versionresource.h"

#include <QFile>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = FuzzFolder() + QStringLiteral("/program");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            std::abort();
    }
    try {
        const TEXEVersionData version = ReadEXEVersionData(path);
        FUZZ_CHECK(!ContainsLineBreak(version.CompanyName));
    } catch (const SystemError& error) {
        FUZZ_CHECK(error.code() == SystemErrorCode::ResourceTypeNotFound);
    }
    try {
        FormatAppVersion(ReadEXEFixedVersion(path));
    } catch (const SystemError& error) {
        FUZZ_CHECK(error.code() == SystemErrorCode::ResourceTypeNotFound);
    }
    return 0;
}
