#include "platform/uilanguage.h"

#include <gtest/gtest.h>

namespace {

struct LanguageIdCase {
    const char* locale;
    quint16 id;
};

class WindowsLanguageIdTest : public ::testing::TestWithParam<LanguageIdCase> {};

TEST_P(WindowsLanguageIdTest, MapsTheLocale)
{
    EXPECT_EQ(WindowsLanguageId(QLocale(QLatin1String(GetParam().locale))), GetParam().id);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, WindowsLanguageIdTest,
    ::testing::Values(LanguageIdCase{"en_US", 1033}, LanguageIdCase{"en_GB", 2057},
                      LanguageIdCase{"de_DE", 1031}, LanguageIdCase{"de_AT", 3079},
                      LanguageIdCase{"fr_CA", 3084}, LanguageIdCase{"pt_BR", 1046},
                      LanguageIdCase{"pt_PT", 2070}, LanguageIdCase{"zh_CN", 2052},
                      LanguageIdCase{"zh_TW", 1028}, LanguageIdCase{"ja_JP", 1041},
                      // A region the table lacks takes the language's main identifier.
                      LanguageIdCase{"de_BE", 1031}, LanguageIdCase{"es_BO", 3082},
                      // Unknown languages and the C locale fall back to English (US).
                      LanguageIdCase{"C", 1033}, LanguageIdCase{"yo_NG", 1033}));

} // namespace
