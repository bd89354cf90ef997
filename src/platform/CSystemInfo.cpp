#include "platform/CSystemInfo.h"

#include <cstdlib>
#include <fstream>
#include <map>

namespace {
struct LocaleEntry {
    const char* locale;
    LANGID id;
};

// Country-specific entries come first; a bare language maps to its primary entry.
const LocaleEntry kLocales[] = {
    {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_CN", 0x0804}, {"zh_SG", 0x1004}, {"zh", 0x0804},
    {"da_DK", 0x0406}, {"da", 0x0406},    {"de_DE", 0x0407}, {"de_CH", 0x0807}, {"de_AT", 0x0C07},
    {"de", 0x0407},    {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009},
    {"en", 0x0409},    {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"es", 0x040A},    {"fr_FR", 0x040C},
    {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"fr", 0x040C},    {"it_IT", 0x0410},
    {"it", 0x0410},    {"ja_JP", 0x0411}, {"ja", 0x0411},    {"ko_KR", 0x0412}, {"ko", 0x0412},
    {"nl_NL", 0x0413}, {"nl_BE", 0x0813}, {"nl", 0x0413},    {"nb_NO", 0x0414}, {"nb", 0x0414},
    {"no_NO", 0x0414}, {"no", 0x0414},    {"nn_NO", 0x0814}, {"nn", 0x0814},    {"pt_BR", 0x0416},
    {"pt_PT", 0x0816}, {"pt", 0x0416},    {"sv_SE", 0x041D}, {"sv_FI", 0x081D}, {"sv", 0x041D},
    {"fi_FI", 0x040B}, {"fi", 0x040B},    {"pl_PL", 0x0415}, {"pl", 0x0415},    {"ru_RU", 0x0419},
    {"ru", 0x0419},    {"cs_CZ", 0x0405}, {"cs", 0x0405},    {"el_GR", 0x0408}, {"el", 0x0408},
    {"hu_HU", 0x040E}, {"hu", 0x040E},    {"tr_TR", 0x041F}, {"tr", 0x041F},    {"he_IL", 0x040D},
    {"he", 0x040D},    {"ar_SA", 0x0401}, {"ar", 0x0401},
};

const char* FirstSet(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const char* v = std::getenv(name);
        if (v != nullptr && *v != '\0')
            return v;
    }
    return nullptr;
}

std::string SystemLocale() {
    for (const char* file : {"/etc/default/locale", "/etc/locale.conf"}) {
        std::ifstream in(file);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("LANG=", 0) == 0) {
                std::string v = line.substr(5);
                if (!v.empty() && v.front() == '"')
                    v = v.substr(1, v.size() >= 2 ? v.size() - 2 : 0);
                return v;
            }
        }
    }
    return {};
}
} // namespace

CSystemInfo& CSystemInfo::Instance() {
    static CSystemInfo info;
    return info;
}

LANGID CSystemInfo::LangIdFromLocale(const std::string& locale) {
    // Strip ".codeset" and "@modifier".
    std::string base = locale.substr(0, locale.find_first_of(".@"));
    if (base.empty() || base == "C" || base == "POSIX")
        return 0x0409;
    std::string language = base.substr(0, base.find('_'));
    for (const auto& e : kLocales)
        if (base == e.locale)
            return e.id;
    for (const auto& e : kLocales)
        if (language == e.locale)
            return e.id;
    return 0x0409;
}

PlatformVersion CSystemInfo::GetVersion() const {
    return version_.value_or(PlatformVersion{});
}

LANGID CSystemInfo::GetUserDefaultLangId() const {
    if (userLang_)
        return *userLang_;
    const char* v = FirstSet({"LC_ALL", "LC_MESSAGES", "LANG"});
    return LangIdFromLocale(v != nullptr ? v : "");
}

LANGID CSystemInfo::GetSystemDefaultLangId() const {
    if (systemLang_)
        return *systemLang_;
    std::string locale = SystemLocale();
    if (locale.empty())
        return GetUserDefaultLangId();
    return LangIdFromLocale(locale);
}

LANGID CSystemInfo::GetOsLanguage() const {
    return GetSystemDefaultLangId();
}

void CSystemInfo::OverrideVersion(std::optional<PlatformVersion> version) {
    version_ = version;
}
void CSystemInfo::OverrideUserLangId(std::optional<LANGID> id) {
    userLang_ = id;
}
void CSystemInfo::OverrideSystemLangId(std::optional<LANGID> id) {
    systemLang_ = id;
}

void CSystemInfo::ResetOverrides() {
    version_.reset();
    userLang_.reset();
    systemLang_.reset();
}
