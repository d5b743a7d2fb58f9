#include "platform/versionresource.h"

#include <QFile>
#include <QStringList>

#include <elf.h>

#include <cstring>
#include <optional>

namespace {

const char* systemErrorText(int code)
{
    switch (code) {
    case SystemErrorCode::FileNotFound:
        return "The system cannot find the file specified.";
    case SystemErrorCode::ResourceTypeNotFound:
        return "The specified resource type cannot be found in the image file.";
    default:
        return "Unknown error.";
    }
}

// Whether length bytes at offset lie within a file of size bytes. Offsets come from the
// file itself, so they are compared without any sum that could wrap around 64 bits.
bool withinFile(quint64 offset, quint64 length, quint64 size)
{
    return offset <= size && length <= size - offset;
}

// The bytes of the ".parlotext_version" section of an ELF program file.
std::optional<QByteArray> versionSection(const QByteArray& file)
{
    if (file.size() < qsizetype(sizeof(Elf64_Ehdr)) ||
        std::memcmp(file.constData(), ELFMAG, SELFMAG) != 0 || file[EI_CLASS] != ELFCLASS64)
        return std::nullopt;
    Elf64_Ehdr header;
    std::memcpy(&header, file.constData(), sizeof header);
    const quint64 size = quint64(file.size());
    const auto sectionAt = [&](quint64 index) -> std::optional<Elf64_Shdr> {
        if (header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shoff > size ||
            index > (size - header.e_shoff) / sizeof(Elf64_Shdr))
            return std::nullopt;
        const quint64 offset = header.e_shoff + index * sizeof(Elf64_Shdr);
        if (!withinFile(offset, sizeof(Elf64_Shdr), size))
            return std::nullopt;
        Elf64_Shdr section;
        std::memcpy(&section, file.constData() + offset, sizeof section);
        return section;
    };
    const auto names = sectionAt(header.e_shstrndx);
    if (!names || !withinFile(names->sh_offset, names->sh_size, size))
        return std::nullopt;
    static const char wanted[] = ".parlotext_version";
    for (quint64 i = 0; i < header.e_shnum; ++i) {
        const auto section = sectionAt(i);
        if (!section)
            return std::nullopt;
        // The name lies within the names section, which lies within the file.
        if (!withinFile(section->sh_name, sizeof wanted, names->sh_size) ||
            std::memcmp(file.constData() + names->sh_offset + section->sh_name, wanted,
                        sizeof wanted) != 0)
            continue;
        if (!withinFile(section->sh_offset, section->sh_size, size))
            return std::nullopt;
        QByteArray bytes = file.mid(qsizetype(section->sh_offset), qsizetype(section->sh_size));
        const qsizetype end = bytes.indexOf('\0');
        return end >= 0 ? bytes.left(end) : bytes;
    }
    return std::nullopt;
}

// The version block: "value path<TAB>value" lines, looked up like a version resource,
// without regard to case.
class VersionBlock {
public:
    explicit VersionBlock(const QString& fileName)
    {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            throw SystemError(SystemErrorCode::FileNotFound);
        // The program file is mapped, not read: only its section table and the block
        // are touched, which keeps start-up quick.
        const qint64 size = file.size();
        uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
        const QByteArray bytes =
            mapped ? QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), qsizetype(size))
                   : file.readAll();
        auto section = versionSection(bytes);
        if (section)
            section =
                QByteArray(section->constData(), section->size()); // own copy before unmapping
        if (mapped)
            file.unmap(mapped);
        if (!section)
            throw SystemError(SystemErrorCode::ResourceTypeNotFound);
        m_lines = QString::fromUtf8(*section).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    std::optional<QString> query(const QString& path) const
    {
        for (const QString& line : m_lines) {
            const qsizetype tab = line.indexOf(QLatin1Char('\t'));
            if (tab >= 0 && line.left(tab).compare(path, Qt::CaseInsensitive) == 0)
                return line.mid(tab + 1);
        }
        return std::nullopt;
    }

private:
    QStringList m_lines;
};

} // namespace

SystemError::SystemError(int code)
    : std::runtime_error(QStringLiteral("System Error.  Code: %1.\n%2")
                             .arg(code)
                             .arg(QLatin1String(systemErrorText(code)))
                             .toStdString())
    , m_code(code)
{
}

TEXEVersionData ReadEXEVersionData(const QString& fileName)
{
    const VersionBlock block(fileName);
    const auto translation = block.query(QStringLiteral("\\VarFileInfo\\Translation"));
    const QStringList parts = translation.value_or(QString()).split(QLatin1Char(' '));
    bool languageOk = false;
    bool codePageOk = false;
    const uint language = parts.value(0).toUInt(&languageOk, 16);
    const uint codePage = parts.value(1).toUInt(&codePageOk, 16);
    if (!languageOk || !codePageOk)
        throw SystemError(SystemErrorCode::ResourceTypeNotFound);
    const QString table = QStringLiteral("%1%2")
                              .arg(language, 4, 16, QLatin1Char('0'))
                              .arg(codePage, 4, 16, QLatin1Char('0'))
                              .toUpper();

    TEXEVersionData data;
    const std::pair<const char*, QString*> fields[] = {
        {"CompanyName", &data.CompanyName},           {"FileDescription", &data.FileDescription},
        {"FileVersion", &data.FileVersion},           {"InternalName", &data.InternalName},
        {"LegalCopyright", &data.LegalCopyright},     {"LegalTrademarks", &data.LegalTrademarks},
        {"OriginalFileName", &data.OriginalFileName}, {"ProductName", &data.ProductName},
        {"ProductVersion", &data.ProductVersion},     {"Comments", &data.Comments},
        {"PrivateBuild", &data.PrivateBuild},         {"SpecialBuild", &data.SpecialBuild},
    };
    for (const auto& [key, field] : fields) {
        const QString path =
            QStringLiteral("\\StringFileInfo\\%1\\%2").arg(table, QLatin1String(key));
        if (const auto value = block.query(path))
            *field = *value;
    }
    return data;
}

FixedFileVersion ReadEXEFixedVersion(const QString& fileName)
{
    const VersionBlock block(fileName);
    const QStringList parts = block.query(QStringLiteral("\\FixedFileVersion"))
                                  .value_or(QString())
                                  .split(QLatin1Char('.'));
    if (parts.size() != 4)
        throw SystemError(SystemErrorCode::ResourceTypeNotFound);
    FixedFileVersion version;
    version.major = quint16(parts[0].toUInt());
    version.minor = quint16(parts[1].toUInt());
    version.build = quint16(parts[2].toUInt());
    version.revision = quint16(parts[3].toUInt());
    return version;
}

QString FormatAppVersion(const FixedFileVersion& version)
{
    return QStringLiteral("%1.%2").arg(version.major).arg(version.minor);
}
