#include "platform/uilanguage.h"

#include <QString>

#include <string_view>

namespace {

struct LocaleLanguageId {
    std::string_view name; // language_REGION as QLocale::name() spells it
    quint16 id;
};

// For each language, the first row is its main identifier, used for regions not listed.
// clang-format off
constexpr LocaleLanguageId kLanguageIds[] = {
    {"en_US", 1033}, {"en_GB", 2057}, {"en_AU", 3081}, {"en_CA", 4105}, {"en_NZ", 5129},
    {"en_IE", 6153}, {"en_ZA", 7177}, {"en_IN", 16393}, {"en_SG", 18441},
    {"de_DE", 1031}, {"de_CH", 2055}, {"de_AT", 3079}, {"de_LU", 4103}, {"de_LI", 5127},
    {"fr_FR", 1036}, {"fr_BE", 2060}, {"fr_CA", 3084}, {"fr_CH", 4108}, {"fr_LU", 5132},
    {"es_ES", 3082}, {"es_MX", 2058}, {"es_AR", 11274}, {"es_CO", 9226}, {"es_CL", 13322},
    {"es_PE", 10250}, {"es_VE", 8202}, {"es_US", 21514},
    {"it_IT", 1040}, {"it_CH", 2064}, {"pt_BR", 1046}, {"pt_PT", 2070},
    {"nl_NL", 1043}, {"nl_BE", 2067}, {"ru_RU", 1049}, {"uk_UA", 1058}, {"be_BY", 1059},
    {"pl_PL", 1045}, {"cs_CZ", 1029}, {"sk_SK", 1051}, {"hu_HU", 1038}, {"ro_RO", 1048},
    {"bg_BG", 1026}, {"el_GR", 1032}, {"tr_TR", 1055}, {"sv_SE", 1053}, {"sv_FI", 2077},
    {"da_DK", 1030}, {"nb_NO", 1044}, {"nn_NO", 2068}, {"fi_FI", 1035}, {"et_EE", 1061},
    {"lv_LV", 1062}, {"lt_LT", 1063}, {"sl_SI", 1060}, {"hr_HR", 1050}, {"bs_BA", 5146},
    {"sr_RS", 10266}, {"mk_MK", 1071}, {"sq_AL", 1052}, {"is_IS", 1039}, {"ga_IE", 2108},
    {"ca_ES", 1027}, {"eu_ES", 1069}, {"gl_ES", 1110}, {"he_IL", 1037}, {"ar_SA", 1025},
    {"ar_EG", 3073}, {"ar_AE", 14337}, {"ar_MA", 6145}, {"fa_IR", 1065}, {"ur_PK", 1056},
    {"hi_IN", 1081}, {"bn_IN", 1093}, {"bn_BD", 2117}, {"ta_IN", 1097}, {"te_IN", 1098},
    {"mr_IN", 1102}, {"gu_IN", 1095}, {"kn_IN", 1099}, {"ml_IN", 1100}, {"pa_IN", 1094},
    {"th_TH", 1054}, {"vi_VN", 1066}, {"id_ID", 1057}, {"ms_MY", 1086}, {"fil_PH", 1124},
    {"zh_CN", 2052}, {"zh_TW", 1028}, {"zh_HK", 3076}, {"zh_SG", 4100}, {"ja_JP", 1041},
    {"ko_KR", 1042}, {"hy_AM", 1067}, {"ka_GE", 1079}, {"az_AZ", 1068}, {"kk_KZ", 1087},
    {"uz_UZ", 1091}, {"mn_MN", 1104}, {"af_ZA", 1078}, {"sw_KE", 1089}, {"am_ET", 1118},
    {"km_KH", 1107}, {"lo_LA", 1108},
};
// clang-format on

constexpr quint16 kEnglishUnitedStates = 1033;

} // namespace

quint16 WindowsLanguageId(const QLocale& locale)
{
    const QByteArray name = locale.name().toLatin1();
    const std::string_view wanted(name.constData(), size_t(name.size()));
    for (const auto& entry : kLanguageIds) {
        if (entry.name == wanted)
            return entry.id;
    }
    const std::string_view language = wanted.substr(0, wanted.find('_'));
    for (const auto& entry : kLanguageIds) {
        if (entry.name.substr(0, entry.name.find('_')) == language)
            return entry.id;
    }
    return kEnglishUnitedStates;
}

quint16 UserInterfaceLanguageId()
{
    return WindowsLanguageId(QLocale::system());
}
