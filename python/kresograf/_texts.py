"""The module's messages in the user's language: the program's Polish texts, or their English
from the program's own catalogue (kresograf.mo) when the user's first language is English."""

import gettext
import os

# Where the catalogue is looked for: beside an installed program (<prefix>/lib/python3/
# dist-packages/kresograf -> <prefix>/share/locale), then the system's folder.
CATALOGUE_DIRS = [
    os.path.normpath(
        os.path.join(os.path.dirname(__file__), "..", "..", "..", "..", "share", "locale")
    ),
    "/usr/share/locale",
]


def N_(text):
    """Marks a Polish text for the catalogue; it is translated where it is shown."""
    return text


def _primary_language():
    # Only the first language counts, as in the program: a Polish desktop's "pl:en" stays Polish.
    listed = os.environ.get("LANGUAGE", "")
    if listed:
        name = listed.split(":")[0]
    else:
        name = next(
            (os.environ[v] for v in ("LC_ALL", "LC_MESSAGES", "LANG") if os.environ.get(v)), ""
        )
    return name.split(".")[0].split("@")[0]


def tr(polish):
    """The text in the user's language: Polish unless the first language is English and the
    program's catalogue is found."""
    language = _primary_language()
    if not language.startswith("en"):
        return polish
    for folder in CATALOGUE_DIRS:
        catalogue = gettext.translation(
            "kresograf", folder, languages=[language, language.split("_")[0]], fallback=True
        )
        if type(catalogue) is not gettext.NullTranslations:
            return catalogue.gettext(polish)
    return polish
