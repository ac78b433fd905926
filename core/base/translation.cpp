#include "base/translation.h"

#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#ifndef KRESOGRAF_LOCALEDIR
#define KRESOGRAF_LOCALEDIR "/usr/share/locale"
#endif

namespace kresograf {
namespace {

// LANGUAGE as the user set it, before the program chose its own.
bool userLanguageKept = false;
std::optional<std::string> userLanguage;

const char* FirstSet(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return nullptr;
}

// The first language the user asks for, as gettext reads it: the head of LANGUAGE, else the
// messages locale; without its encoding and modifier ("en_US.UTF-8" gives "en_US").
std::string PrimaryLanguage() {
    std::string name;
    if (const char* list = std::getenv("LANGUAGE"); list != nullptr && *list != '\0') {
        name = list;
        name = name.substr(0, name.find(':'));
    } else if (const char* locale = FirstSet({"LC_ALL", "LC_MESSAGES", "LANG"})) {
        name = locale;
    }
    return name.substr(0, name.find_first_of(".@"));
}

}  // namespace

const char* Tr(const char* polish) {
    // An empty text would fetch the catalogue's header.
    if (polish == nullptr || *polish == '\0') {
        return polish;
    }
    return dgettext(TextDomain, polish);
}

std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string text;
    text.reserve(pattern.size() + 16);
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            text.push_back(pattern[i]);
            continue;
        }
        std::size_t at = i + 1;
        std::size_t index = next;
        if (pattern[at] >= '1' && pattern[at] <= '9' && pattern.substr(at + 1, 2) == "$s") {
            index = static_cast<std::size_t>(pattern[at] - '1');
            at += 2;
        } else if (pattern[at] == 's') {
            ++next;
        } else {
            // "%%" and anything that is no placeholder stay as written, less the doubling.
            text.push_back('%');
            i += pattern[at] == '%' ? 1 : 0;
            continue;
        }
        if (index < values.size()) {
            text.append(values.begin()[index]);
        }
        i = at;
    }
    return text;
}

void InitTranslations(const std::filesystem::path& catalogueRoot) {
    if (!userLanguageKept) {
        userLanguageKept = true;
        if (const char* list = std::getenv("LANGUAGE")) {
            userLanguage = list;
        }
    }
    if (std::setlocale(LC_ALL, "") == nullptr) {
        // The user's locale is not installed here; gettext still follows LANGUAGE (set below)
        // in any locale but plain "C".
        std::setlocale(LC_ALL, "C.UTF-8");
    }
    std::setlocale(LC_NUMERIC, "C");

    // Only the user's first language counts: a Polish desktop's fallback list ("pl:en") must
    // not turn the program English. Without a catalogue for it the texts stay Polish.
    std::string chosen = "pl";
    const std::string primary = PrimaryLanguage();
    for (const std::string& candidate : {primary, primary.substr(0, primary.find('_'))}) {
        std::error_code error;
        if (!candidate.empty() &&
            std::filesystem::exists(
                catalogueRoot / candidate / "LC_MESSAGES" / (std::string(TextDomain) + ".mo"),
                error)) {
            chosen = candidate;
            break;
        }
    }
    setenv("LANGUAGE", chosen.c_str(), 1);
    bindtextdomain(TextDomain, catalogueRoot.c_str());
    bind_textdomain_codeset(TextDomain, "UTF-8");
}

std::filesystem::path FindCatalogueRoot() {
    std::error_code error;
    const std::filesystem::path dir =
        std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    if (error || dir.empty()) {
        return KRESOGRAF_LOCALEDIR;
    }
    for (const char* relative : {"../locale", "../share/locale"}) {
        const std::filesystem::path candidate = dir / relative;
        if (std::filesystem::is_directory(candidate, error)) {
            return std::filesystem::weakly_canonical(candidate, error);
        }
    }
    return KRESOGRAF_LOCALEDIR;
}

std::string CurrentLanguage() {
    // A catalogue in use answers the empty text with its header, which names its language.
    const std::string_view header = dgettext(TextDomain, "");
    const std::string_view key = "Language: ";
    const size_t at = header.find(key);
    if (at == std::string_view::npos) {
        return "pl";
    }
    const size_t begin = at + key.size();
    const size_t end = header.find_first_of("\n_", begin);
    std::string language(header.substr(begin, end - begin));
    return language.empty() ? "pl" : language;
}

std::optional<std::string> UserLanguageList() {
    return userLanguage;
}

}  // namespace kresograf
