#!/usr/bin/env bash
# The program installed like any Debian program: `cmake --install` into a
# staging folder gives the executable, the desktop entry and the icons, the
# entry passes desktop-file-validate, and `cpack -G DEB` builds a package
# whose dependencies were computed from the binary.
# usage: check_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
check() { if ! eval "$1"; then echo "FAIL: $2"; fail=1; fi; }

cmake --install "$build" --prefix "$work/stage" >/dev/null
for f in bin/orvindel share/applications/orvindel.desktop \
         share/icons/hicolor/scalable/apps/orvindel.svg \
         share/icons/hicolor/16x16/apps/orvindel.png share/icons/hicolor/48x48/apps/orvindel.png \
         share/icons/hicolor/256x256/apps/orvindel.png \
         share/orvindel/Language/languages.lng share/orvindel/Language/German.jez; do
  check "[ -f '$work/stage/$f' ]" "cmake --install did not put $f in place"
done
check "desktop-file-validate '$work/stage/share/applications/orvindel.desktop'" \
      "desktop-file-validate rejects the installed entry"

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/orvindel_*.deb 2>/dev/null | head -1)
check "[ -n '$deb' ]" "cpack built no .deb"
if [ -n "$deb" ]; then
  info=$(dpkg-deb -I "$deb")
  check "grep -q '^ Depends:.*libwebkit2gtk-4.1' <<<\"\$info\"" \
        "the package's dependencies were not computed from the binary: $(grep Depends <<<"$info")"
  contents=$(dpkg-deb -c "$deb")
  check "grep -q './usr/bin/orvindel' <<<\"\$contents\"" "the package does not hold /usr/bin/orvindel"
  check "grep -q './usr/share/applications/orvindel.desktop' <<<\"\$contents\"" \
        "the package does not hold the desktop entry"
fi
if [ "$fail" -ne 0 ]; then echo "check_package: failed"; exit 1; fi
echo "check_package: passed ($(basename "$deb"))"
