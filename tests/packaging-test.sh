#!/bin/sh
# The installed layout and the Debian package, checked with the tools the
# desktop and Debian use: desktop-file-validate, man --warnings, dpkg-deb.
# With QUIDDITY_PACKAGE_INSTALL=1 (CI, as root) the package is also
# installed with apt-get, run from /usr/bin and removed again.
set -eu
build=$1
gui=$2  # ON when the browser is built
stage=$(mktemp -d "${TMPDIR:-/tmp}/quiddity-package-XXXXXX")
trap 'rm -rf "$stage"' EXIT
fail() { echo "packaging: $*" >&2; exit 1; }

DESTDIR="$stage/root" cmake --install "$build" --prefix /usr >/dev/null
root="$stage/root/usr"
expected="bin/quiddity share/applications/quiddity.desktop share/man/man1/quiddity.1.gz share/man/man1/quiddity-gui.1.gz
share/icons/hicolor/scalable/apps/quiddity.svg share/icons/hicolor/48x48/apps/quiddity.png
share/icons/hicolor/128x128/apps/quiddity.png share/icons/hicolor/256x256/apps/quiddity.png
share/bash-completion/completions/quiddity"
[ "$gui" = ON ] && expected="$expected bin/quiddity-gui"
for file in $expected; do [ -f "$root/$file" ] || fail "not installed: $file"; done
version=$("$root/bin/quiddity" --version | sed -n 's/^quiddity //p')
[ -n "$version" ] || fail "the installed program does not run"

desktop-file-validate "$root/share/applications/quiddity.desktop" > "$stage/desktop.log" 2>&1 ||
    { cat "$stage/desktop.log" >&2; fail "desktop-file-validate refuses the menu entry"; }
grep -q 'error:' "$stage/desktop.log" && fail "desktop-file-validate: $(cat "$stage/desktop.log")"
for page in quiddity quiddity-gui; do
    warnings=$(MANWIDTH=80 man --warnings -l "$root/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man --warnings on $page.1.gz: $warnings"
    zcat "$root/share/man/man1/$page.1.gz" | grep -q "^\.TH .* \"quiddity $version\"" || fail "$page.1.gz is not of version $version"
done
bash -n "$root/share/bash-completion/completions/quiddity" || fail "the completion is no bash"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$stage/package" > "$stage/cpack.log" 2>&1 ||
    { cat "$stage/cpack.log" >&2; fail "cpack could not make the package"; }
deb=$(ls "$stage"/package/quiddity_*_*.deb)
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/quiddity ./usr/share/applications/quiddity.desktop ./usr/share/man/man1/quiddity.1.gz; do
    echo "$contents" | grep -q " $file\$" || fail "$file is not in the package"
done
if [ "$gui" = ON ]; then echo "$contents" | grep -q ' ./usr/bin/quiddity-gui$' || fail "no browser in the package"; fi
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not the program's $version"
depends=$(dpkg-deb -f "$deb" Depends)
echo "$depends" | grep -q 'libglib2.0-0' || fail "library dependencies not computed: $depends"

if [ "${QUIDDITY_PACKAGE_INSTALL:-}" = 1 ] && [ "$(id -u)" -eq 0 ]; then
    # A quiddity the machine already has is left alone.
    if dpkg-query -W -f='${Status}' quiddity 2>/dev/null | grep -q 'install ok installed'; then
        echo "packaging: quiddity is installed already: the install step is left out"
    else
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
        version=$(/usr/bin/quiddity --version) || { apt-get remove -y -qq quiddity >/dev/null; fail "/usr/bin/quiddity does not run"; }
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq quiddity >/dev/null
        echo "$version" | grep -q '^quiddity ' || fail "unexpected version line: $version"
    fi
fi
echo "packaging: ok"
