#!/usr/bin/env bash
# Checks that a built package holds what an installed Kresograf needs, and that it declares
# the libraries it links against.
# Usage: scripts/check-package.sh kresograf_VERSION_ARCH.deb
set -euo pipefail
deb=$1
list=$(dpkg-deb -c "$deb" | awk '{print $NF}')
missing=0
for path in \
    ./usr/bin/kresograf \
    ./usr/bin/kresograf-cli \
    ./usr/share/applications/kresograf.desktop \
    ./usr/share/mime/packages/kresograf.xml \
    ./usr/share/icons/hicolor/scalable/apps/kresograf.svg \
    ./usr/share/icons/hicolor/128x128/apps/kresograf.png \
    ./usr/share/man/man1/kresograf.1.gz \
    ./usr/share/man/man1/kresograf-cli.1.gz \
    ./usr/share/doc/kresograf/copyright \
    ./usr/share/doc/kresograf/changelog.Debian.gz \
    ./usr/share/locale/en/LC_MESSAGES/kresograf.mo \
    ./usr/share/doc/kresograf/help/index.html \
    ./usr/lib/python3/dist-packages/kresograf/__init__.py \
    ./usr/lib/python3/dist-packages/kresograf/_recording.py \
    ./usr/lib/python3/dist-packages/kresograf/_texts.py; do
    if ! grep -qxF "$path" <<<"$list"; then
        echo "missing from the package: $path" >&2
        missing=1
    fi
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6printsupport6 libfftw3-double3 libhdf5 libc6 libstdc++6; do
    if ! grep -q "$library" <<<"$depends"; then
        echo "the package does not depend on $library (Depends: $depends)" >&2
        missing=1
    fi
done
exit $missing
