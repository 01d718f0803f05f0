#!/bin/sh
# Installs the build as a package would (DESTDIR, prefix /usr), checks that exactly the files an
# installed VigilStat needs are in their places and valid, and runs the installed command-line
# program from there.
#   check-install.sh <build folder> <command to run> <programs...>
set -eu
build=$1
command=$2
shift 2
programs=$*

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dest=$work/root
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake=${CMAKE:-cmake}
DESTDIR=$dest "$cmake" --install "$build" --prefix /usr >/dev/null
usr=$dest/usr

for program in $programs; do
    echo "bin/$program"
    echo "share/man/man1/$program.1.gz"
done >"$work/expected"
for size in 16 22 24 32 48 64 128 256; do
    echo "share/icons/hicolor/${size}x$size/apps/vigilstat.png"
done >>"$work/expected"
cat >>"$work/expected" <<FILES
share/applications/vigilstat.desktop
share/metainfo/org.vigilstat.VigilStat.metainfo.xml
share/doc/vigilstat/copyright
share/doc/vigilstat/changelog.gz
FILES
sort -o "$work/expected" "$work/expected"
(cd "$usr" && find . -type f | sed 's|^\./||' | sort) >"$work/installed"
missing=$(comm -23 "$work/expected" "$work/installed")
extra=$(comm -13 "$work/expected" "$work/installed")
[ -z "$missing" ] || fail "not installed: $missing"
[ -z "$extra" ] || fail "installed but not expected: $extra"
[ "$(ls "$dest")" = usr ] || fail "files outside /usr: $(ls "$dest")"

desktop-file-validate "$usr/share/applications/vigilstat.desktop" ||
    fail "the desktop entry is not valid"
appstreamcli validate --no-net "$usr/share/metainfo/org.vigilstat.VigilStat.metainfo.xml" \
    >"$work/appstream.log" 2>&1 || fail "the metainfo is not valid: $(cat "$work/appstream.log")"

for program in $programs; do
    page=$usr/share/man/man1/$program.1.gz
    warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$program(1): $warnings"
    # A binary installed with a run path into the build would work here and nowhere else.
    ! readelf -d "$usr/bin/$program" | grep -Eq '\((RPATH|RUNPATH)\)' || fail "$program keeps a run path"
done

# Every option the program offers is explained in its manual page (Qt's --help-all aside).
cd "$work"
help=$("$usr/bin/$command" --help) || fail "$command --help failed"
echo "$help" | grep -q "^Usage: .*$command" || fail "$command --help printed: $help"
for option in $(echo "$help" | sed -n 's/^ *\(-[a-zA-Z?], \)\{0,1\}\(--[a-z][a-z-]*\).*/\2/p'); do
    [ "$option" = --help-all ] && continue
    zcat "$usr/share/man/man1/$command.1.gz" | grep -Eq -- "$option([^a-z-]|$)" ||
        fail "$command(1) does not explain $option"
done
echo "$(wc -l <"$work/installed") files installed; $command --help runs from $usr/bin"
