#pragma once

#include <filesystem>
#include <string>

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

}  // namespace kresograf
