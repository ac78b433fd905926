#pragma once

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// The program's texts are written in Polish in the code and are its own language. A text a user
// sees goes through Tr() where it is shown; a text kept in a table or a constant is marked with
// N_() where it is written, so that the catalogue tools find it, and goes through Tr() where it
// is shown. The catalogue of the user's language (GNU gettext, domain "kresograf") gives the
// translation; a locale without a catalogue keeps the Polish text, byte for byte.

#define N_(text) text

namespace kresograf {

inline constexpr const char* TextDomain = "kresograf";

// The text in the user's language; the same pointer when there is no translation.
const char* Tr(const char* polish);

// A translated sentence with its values put in: "%s" takes the next value, "%N$s" the Nth (so a
// translation may reorder them), "%%" is a percent sign. The values are texts already written by
// the program's own number formatting. A placeholder without a value is left out.
//   FillText(Tr("Kanał %s nie zawiera danych w pliku."), {"3"})
std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> values);

// Picks the language from the environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG, as gettext
// does) and binds the catalogues found under catalogueRoot (<root>/<lang>/LC_MESSAGES/*.mo).
// Numbers keep the C locale's form whatever the language: the decimal point of files and labels
// never follows the locale. Call once at start, before any thread runs, and again after a
// QCoreApplication is made (it resets the C locale from the environment).
void InitTranslations(const std::filesystem::path& catalogueRoot);

// Where the running program's catalogues are: beside it in the build tree (<dir>/../locale), or
// installed (<dir>/../share/locale), else the installed default.
std::filesystem::path FindCatalogueRoot();

// The language of the catalogue in use ("en"), or "pl" when the texts stay Polish.
std::string CurrentLanguage();

// InitTranslations sets LANGUAGE to the language it chose; the programs this one starts (a help
// browser) get the user's own value back from here (none when it was not set).
std::optional<std::string> UserLanguageList();

}  // namespace kresograf
