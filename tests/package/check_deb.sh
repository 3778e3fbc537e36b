#!/bin/sh
# Builds the .deb of the build in $1 into $2, then checks what a user gets
# from it: the files in their places and nothing else, both programs working
# from the installed layout in a folder of their own, the desktop entry,
# MIME type and AppStream data valid.
set -eu
build=$1
out=$2
rm -rf "$out"
mkdir -p "$out"
fail() { echo "check_deb: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; fail "cpack failed"; }
deb=$(ls "$out"/pit2014_*_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no pit2014_<version>_<arch>.deb in $out"
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
[ "$(basename "$deb")" = "pit2014_${version}_${arch}.deb" ] || fail "package named $(basename "$deb")"
grep -q "project(pit2014 VERSION $version " "$(dirname "$0")/../../CMakeLists.txt" ||
  fail "package version $version is not the project's"

depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6gui6 libc6 qt6-translations-l10n fonts-liberation; do
  echo "$depends" | grep -q "$d" || fail "Depends lacks $d: $depends"
done
# The caches are refreshed by the standard triggers: no maintainer scripts.
dpkg-deb -e "$deb" "$out/control"
for script in preinst postinst prerm postrm; do
  [ ! -e "$out/control/$script" ] || fail "maintainer script $script"
done

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' | sort >"$out/files"
for f in /usr/bin/pit2014 /usr/bin/pit2014cli \
         /usr/share/pit2014/dc/2.dcs /usr/share/pit2014/dc/2.dcd \
         /usr/share/pit2014/bib/US.xsd /usr/share/pit2014/bib/KR.xsd \
         /usr/share/pit2014/alg/welcome.html /usr/share/pit2014/icon/Pit.gif \
         /usr/share/applications/pl.korvan.pit2014.desktop \
         /usr/share/metainfo/pl.korvan.pit2014.metainfo.xml \
         /usr/share/mime/packages/pit2014.xml \
         /usr/share/icons/hicolor/scalable/apps/pit2014.svg \
         /usr/share/icons/hicolor/48x48/apps/pit2014.png \
         /usr/share/icons/hicolor/256x256/apps/pit2014.png \
         /usr/share/man/man1/pit2014.1.gz /usr/share/man/man1/pit2014cli.1.gz \
         /usr/share/man/pl/man1/pit2014.1.gz /usr/share/man/pl/man1/pit2014cli.1.gz \
         /usr/share/doc/pit2014/copyright /usr/share/doc/pit2014/changelog.gz; do
  grep -qx "$f" "$out/files" || fail "missing $f"
done
# Nothing of the build's own: no tests, tools, caches or scratch files.
if grep -vE '^/usr/(bin/pit2014(cli)?|share/(pit2014/(dc|bib|alg|pomoc|Pomoc|icon)/|applications/|metainfo/|mime/packages/|icons/hicolor/|man/|doc/pit2014/))' \
     "$out/files" >"$out/unexpected"; then
  cat "$out/unexpected" >&2
  fail "files outside the program's places"
fi
! grep -q '\.bib$' "$out/files" || fail "a dictionary cache is shipped"
ls "$build"/bin/dc/*.dcs | wc -l >"$out/dcs.built"
grep -c '^/usr/share/pit2014/dc/.*\.dcs$' "$out/files" >"$out/dcs.shipped" || true
cmp -s "$out/dcs.built" "$out/dcs.shipped" || fail "not every form definition is shipped"

# The programs as installed: run from a foreign folder, finding their data
# under ../share/pit2014, keeping caches in the user's cache folder.
root="$out/root"
dpkg-deb -x "$deb" "$root"
home="$out/home"
work="$out/work"
mkdir -p "$home" "$work"
export HOME="$home"
unset XDG_CACHE_HOME
cli="$root/usr/bin/pit2014cli"
(cd "$work" && "$cli" --version) | grep -qx "pit2014cli $version" ||
  fail "pit2014cli --version"
(cd "$work" && "$cli" --help) | grep -q "pit2014cli new" || fail "pit2014cli --help"
(cd "$work" && "$cli" new -o z.dc2014 --kind 0 PIT-37 >/dev/null) ||
  fail "pit2014cli new from the installed layout"
(cd "$work" && "$cli" set z.dc2014 1:36=48665 1:37=0 1:7=1435 >/dev/null) ||
  fail "pit2014cli set from the installed layout"
tax=$(cd "$work" && "$cli" get z.dc2014 1:102)
[ "$tax" = "8203,68" ] || fail "PIT-37 tax from the installed layout: '$tax'"
# The office code needed the tax-office list: its cache is the user's.
ls "$home"/.cache/pit2014/bib/*/US.bib >/dev/null 2>&1 || fail "no dictionary cache in the user's cache folder"
[ -z "$(find "$root" -name '*.bib')" ] || fail "a cache was written beside the installed program"
QT_QPA_PLATFORM=offscreen "$root/usr/bin/pit2014" --version | grep -qx "pit2014 $version" || fail "pit2014 --version"
man -l "$root/usr/share/man/man1/pit2014cli.1.gz" 2>/dev/null | grep -q "pit2014cli" || fail "manual page unreadable"

desktop-file-validate "$root/usr/share/applications/pl.korvan.pit2014.desktop" || fail "desktop entry"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/pl.korvan.pit2014.metainfo.xml" >"$out/appstream.log" 2>&1 ||
  { cat "$out/appstream.log"; fail "AppStream data"; }
mime="$out/mime"
mkdir -p "$mime/packages"
cp "$root/usr/share/mime/packages/pit2014.xml" "$mime/packages/"
update-mime-database "$mime" >/dev/null 2>&1 || fail "update-mime-database refused the MIME package"
grep -q 'application/x-pit2014' "$mime/globs2" && grep -q '\*\.dc2014' "$mime/globs2" || fail "*.dc2014 is not its own type"
grep -q 'application/x-pit2014' "$mime/magic" || fail "no magic for the settlement file"
echo "check_deb: $(basename "$deb") ok, $(wc -l <"$out/files") files"
