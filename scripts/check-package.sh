#!/usr/bin/env bash
# CI for the Debian package, on the build/ that scripts/test.sh made: builds the
# package, checks its file list, unpacks it into a temporary root and runs the
# unpacked marunoki-cli (--version, demo, a first load) in an empty home folder,
# then lintian (no error), desktop-file-validate and appstreamcli validate.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

cmake --build "$build" --target marunoki marunoki-cli man_pages package_docs >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^project(marunoki VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$build/marunoki_${version}_amd64.deb
[ -f "$deb" ] || fail "no $deb"

# The file list: everything a desktop program installs, and nothing else
# (no maintainer scripts: removing the package leaves the user's folder alone).
dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '/$' | sort >"$work/all"
grep -v '^./usr/share/marunoki/samples/site[12][-a-z]*/' "$work/all" >"$work/files"
cat >"$work/expected" <<LIST
./usr/bin/marunoki
./usr/bin/marunoki-cli
./usr/share/applications/org.marunoki.Marunoki.desktop
./usr/share/bash-completion/completions/marunoki-cli
./usr/share/doc/marunoki/changelog.gz
./usr/share/doc/marunoki/copyright
./usr/share/icons/hicolor/128x128/apps/org.marunoki.Marunoki.png
./usr/share/icons/hicolor/256x256/apps/org.marunoki.Marunoki.png
./usr/share/icons/hicolor/48x48/apps/org.marunoki.Marunoki.png
./usr/share/icons/hicolor/scalable/apps/org.marunoki.Marunoki.svg
./usr/share/man/man1/marunoki-cli.1.gz
./usr/share/man/man1/marunoki.1.gz
./usr/share/marunoki/samples/NAR_data.mdb
./usr/share/marunoki/samples/marunoki.dat
./usr/share/marunoki/samples/marunoki.ini
./usr/share/metainfo/org.marunoki.Marunoki.metainfo.xml
LIST
diff -u "$work/expected" "$work/files" || fail "the package's files differ from the list above"
grep -q '^./usr/share/marunoki/samples/site1/index.tsv$' "$work/all" || fail "no sample race"
dpkg-deb -e "$deb" "$work/control"
for script in preinst postinst prerm postrm; do
    [ ! -e "$work/control/$script" ] || fail "the package has a $script script"
done

# The unpacked program in an empty home folder.
dpkg -x "$deb" "$work/root"
mkdir "$work/home" "$work/run"
cli=$work/root/usr/bin/marunoki-cli
run() { (cd "$work/run" && env -u XDG_DATA_HOME -u MARUNOKI_APP_DIR HOME="$work/home" "$@"); }
[ "$(run "$cli" --version)" = "marunoki-cli $version" ] || fail "marunoki-cli --version"
run "$cli" demo >"$work/demo.out" 2>"$work/demo.err" || { cat "$work/demo.err"; fail "marunoki-cli demo"; }
grep -q "marunoki-demo/index.html" "$work/demo.out" || fail "the demo did not name its report"
# A first load: the per-user folder is made, the missing track database named (status 3).
status=0
run "$cli" load --course 05 --meeting 5 --day 9 --race 11 --offline "$work/root/usr/share/marunoki/samples/site1" \
    2>"$work/load.err" || status=$?
[ "$status" = 3 ] || { cat "$work/load.err"; fail "a first load without a track database: status $status"; }
[ -f "$work/home/.local/share/marunoki/marunoki.ini" ] || fail "no per-user folder after a first start"
grep -q "marunoki.dat" "$work/load.err" || fail "the missing track database is not named"

desktop-file-validate "$work/root/usr/share/applications/org.marunoki.Marunoki.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.marunoki.Marunoki.metainfo.xml"
lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || fail "lintian reports an error"
echo "check-package: $deb: file list, unpacked run, lintian, desktop entry and metainfo pass"
