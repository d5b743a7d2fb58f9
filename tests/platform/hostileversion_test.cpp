// Program files whose section table points past the end of the file by offsets that wrap
// around 64 bits. The reader must refuse them, never read outside the file nor take the
// wrapped offset for a real one.
#include "platform/versionresource.h"

#include <QFile>
#include <QTemporaryDir>

#include <elf.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>

namespace {

constexpr quint64 kWrap = std::numeric_limits<quint64>::max(); // 2^64 - 1

// A small ELF64 file: the header, the version block, the section names and three section
// headers (empty, the block, the names).
struct ElfSample {
    QByteArray block = "\\FixedFileVersion\t1.3.0.0\n\\VarFileInfo\\Translation\t0409 04E4\n"
                       "\\StringFileInfo\\040904E4\\CompanyName\tQUILLON\n";
    QByteArray names = QByteArray(".parlotext_version\0.shstrtab\0", 29).prepend('\0');
    Elf64_Ehdr header{};
    Elf64_Shdr sections[3]{};

    ElfSample()
    {
        std::memcpy(header.e_ident, ELFMAG, SELFMAG);
        header.e_ident[EI_CLASS] = ELFCLASS64;
        header.e_ident[EI_DATA] = ELFDATA2LSB;
        header.e_ident[EI_VERSION] = EV_CURRENT;
        header.e_shoff = sizeof header + block.size() + names.size();
        header.e_shentsize = sizeof(Elf64_Shdr);
        header.e_shnum = 3;
        header.e_shstrndx = 2;
        sections[1].sh_name = 1;
        sections[1].sh_offset = sizeof header;
        sections[1].sh_size = block.size();
        sections[2].sh_name = 20;
        sections[2].sh_offset = sizeof header + block.size();
        sections[2].sh_size = names.size();
    }

    QByteArray bytes() const
    {
        QByteArray file(reinterpret_cast<const char*>(&header), sizeof header);
        file += block + names;
        file.append(reinterpret_cast<const char*>(sections), sizeof sections);
        return file;
    }
};

QString written(const QTemporaryDir& folder, const QByteArray& bytes)
{
    const QString path = folder.filePath(QStringLiteral("program"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

TEST(HostileVersionBlock, TheSampleIsReadable)
{
    QTemporaryDir folder;
    const QString path = written(folder, ElfSample().bytes());
    EXPECT_EQ(ReadEXEVersionData(path).CompanyName, QStringLiteral("QUILLON"));
    EXPECT_EQ(FormatAppVersion(ReadEXEFixedVersion(path)), QStringLiteral("1.3"));
}

struct HostileCase {
    const char* name;
    std::function<void(ElfSample&)> spoil;
};

void PrintTo(const HostileCase& c, std::ostream* os)
{
    *os << c.name;
}

class HostileVersionBlockTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileVersionBlockTest, IsRefused)
{
    ElfSample sample;
    GetParam().spoil(sample);
    QTemporaryDir folder;
    const QString path = written(folder, sample.bytes());
    try {
        ReadEXEVersionData(path);
        ADD_FAILURE() << "a version block was read from a spoiled file";
    } catch (const SystemError& error) {
        EXPECT_EQ(error.code(), SystemErrorCode::ResourceTypeNotFound);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, HostileVersionBlockTest,
    ::testing::Values(
        // The names' offset plus the block's name offset wraps round to the real names.
        HostileCase{"name_offset_wraps_into_the_file",
                    [](ElfSample& s) {
                        s.sections[2].sh_offset += kWrap - 999;
                        s.sections[1].sh_name += 1000;
                    }},
        // The names lie just below 2^64: the name compared would start before the file.
        HostileCase{"names_at_the_top_of_the_range",
                    [](ElfSample& s) {
                        s.sections[2].sh_offset = kWrap - 7;
                        s.sections[1].sh_name = 0;
                    }},
        // The block's size wraps its end round to a point inside the file.
        HostileCase{"block_size_wraps",
                    [](ElfSample& s) {
                        s.sections[1].sh_size = kWrap - 9;
                    }},
        // The section table's offset lies just below 2^64, so that the fifth entry would wrap
        // round to the real table (which starts within the first 256 bytes).
        HostileCase{"table_offset_wraps",
                    [](ElfSample& s) {
                        ASSERT_LT(s.header.e_shoff, 4 * sizeof(Elf64_Shdr));
                        s.header.e_shoff -= 4 * sizeof(Elf64_Shdr);
                        s.header.e_shnum = 7;
                        s.header.e_shstrndx = 6;
                    }}),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

} // namespace
