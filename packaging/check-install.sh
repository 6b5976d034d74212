#!/usr/bin/env bash
# Installs a build into a scratch DESTDIR and checks what a desktop user gets: every file in its
# place and nothing else, the programs answering --help and --version without a display, each
# man page naming the options, exit statuses and file kinds its program's --help names, the
# desktop entry, the metainfo and the file type passing their validators, and a Debian package
# holding the same files.
# Usage: check-install.sh BUILD_DIR VERSION APP_ID
set -euo pipefail
build="$1" version="$2" id="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
stage="$work/stage"
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

expected="$work/expected"
sort > "$expected" <<LIST
usr/bin/ocuvis
usr/bin/ocuvis-render
usr/libexec/ocuvis/ocuvis-render-full
usr/share/applications/$id.desktop
usr/share/icons/hicolor/256x256/apps/$id.png
usr/share/icons/hicolor/48x48/apps/$id.png
usr/share/icons/hicolor/scalable/apps/$id.svg
usr/share/man/man1/ocuvis-render.1
usr/share/man/man1/ocuvis.1
usr/share/metainfo/$id.metainfo.xml
usr/share/mime/packages/$id.xml
usr/share/ocuvis/Ocuvis.3d
LIST

DESTDIR="$stage" cmake --install "$build" --prefix /usr > "$work/install.log"
(cd "$stage" && find . -type f | sed 's|^\./||' | sort) > "$work/installed"
diff -u "$expected" "$work/installed" || fail "installed files differ from the expected list"

# The set of what a text names, one per line: its options, its exit statuses, its file kinds.
help_options() { grep -oE '(^|[[:space:],])--?[a-zA-Z][a-zA-Z0-9-]*' | sed 's/^[[:space:],]*//' | sort -u; }
help_statuses() { tr '\n' ' ' | grep -oE 'Exit status:.*' | grep -oE '[:,] [0-9]+ ' |
    grep -oE '[0-9]+' | sort -u; }
man_statuses() { sed -n '/^\.SH EXIT STATUS/,/^\.SH /p' | grep -oE '^[0-9]+' | sort -u; }
# The first list in brackets of names beginning with a dot: "(.3d, .txt or .ply)".
file_kinds() { tr '\n' ' ' | tr -s ' ' | grep -oE '\(\.[a-z0-9]+(, \.[a-z0-9]+)*( or \.[a-z0-9]+)?\)' |
    head -n 1 | grep -oE '\.[a-z0-9]+' | sort -u; }
# Names in one list and not the other, as diff shows them; nothing when they agree.
differ() { diff <(echo "$1") <(echo "$2") | grep '^[<>]' || true; }

# No display at all: help and version must not need one.
for program in ocuvis ocuvis-render; do
    env -i PATH=/usr/bin:/bin "$stage/usr/bin/$program" --help > "$work/$program.help" \
        || fail "$program --help exited with $?"
    grep -q "^Usage: $program " "$work/$program.help" || fail "$program --help shows no usage"
    # The man page as text: roff writes - as \- and switches fonts with \fB and the like.
    sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$stage/usr/share/man/man1/$program.1" > "$work/$program.man"
    help_options < "$work/$program.help" > "$work/$program.options"
    [ -s "$work/$program.options" ] || fail "no options found in $program --help"
    # Every option the help names is described in the man page, and the man page's OPTIONS
    # name none that the help lacks.
    while read -r option; do
        grep -qE -- "(^|[^a-zA-Z0-9-])$option([^a-zA-Z0-9-]|$)" "$work/$program.man" \
            || fail "$program.1 does not describe $option"
    done < "$work/$program.options"
    man_options="$(sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$work/$program.man" | help_options)"
    extra="$(comm -13 "$work/$program.options" <(echo "$man_options"))"
    [ -z "$extra" ] || fail "$program.1 names options that --help lacks: $extra"
    statuses="$(differ "$(help_statuses < "$work/$program.help")" "$(man_statuses < "$work/$program.man")")"
    [ -z "$(help_statuses < "$work/$program.help")" ] && fail "$program --help names no exit status"
    [ -z "$statuses" ] || fail "exit statuses of $program --help (<) and $program.1 (>) differ: $statuses"
    kinds="$(differ "$(file_kinds < "$work/$program.help")" "$(file_kinds < "$work/$program.man")")"
    [ -z "$(file_kinds < "$work/$program.help")" ] && fail "$program --help names no file kind"
    [ -z "$kinds" ] || fail "file kinds of $program --help (<) and $program.1 (>) differ: $kinds"
    grep -q "^\.TH .*\"Ocuvis $version\"" "$work/$program.man" \
        || fail "$program.1 does not carry version $version"
    version_text="$(env -i "$stage/usr/bin/$program" --version)" || fail "$program --version failed"
    [ "$version_text" = "$program $version" ] || fail "$program --version printed '$version_text'"
done
# Both programs read the same kinds of file.
[ "$(file_kinds < "$work/ocuvis.help")" = "$(file_kinds < "$work/ocuvis-render.help")" ] \
    || fail "ocuvis and ocuvis-render name different file kinds"
# The installed tool draws the installed sample onto standard output, without a display: the
# default frame itself, a composed view through the helper it hands such frames to.
for view in cross red-cyan; do
    magic="$(env -i "$stage/usr/bin/ocuvis-render" --view "$view" -o - \
        "$stage/usr/share/ocuvis/Ocuvis.3d" 2> /dev/null | head -c 4 | od -An -c | tr -d ' ')" || true
    [ "$magic" = '211PNG' ] || fail "ocuvis-render --view $view -o - wrote no PNG image: '$magic'"
done

desktop-file-validate "$stage/usr/share/applications/$id.desktop" || fail "desktop entry"
grep -qx 'Exec=ocuvis %f' "$stage/usr/share/applications/$id.desktop" || fail "Exec line"
grep -qx 'MimeType=application/x-ocuvis-3d;text/csv;' "$stage/usr/share/applications/$id.desktop" \
    || fail "MimeType line"
# Every other type it names is one shared-mime-info defines, and our own file type takes no
# pattern that one of those has.
freedesktop=/usr/share/mime/packages/freedesktop.org.xml
for type in $(sed -n 's/^MimeType=//p' "$stage/usr/share/applications/$id.desktop" | tr ';' ' '); do
    [ "$type" = application/x-ocuvis-3d ] && continue
    grep -q "<mime-type type=\"$type\">" "$freedesktop" || fail "shared-mime-info has no $type"
done
for glob in $(grep -oE 'glob pattern="[^"]+"' "$stage/usr/share/mime/packages/$id.xml" | cut -d'"' -f2); do
    grep -qi "glob pattern=\"$glob\"" "$freedesktop" && fail "$glob is already shared-mime-info's"
done
appstreamcli validate --no-net "$stage/usr/share/metainfo/$id.metainfo.xml" > "$work/appstream.log" \
    || { cat "$work/appstream.log"; fail "metainfo"; }
grep -q "<release version=\"$version\"" "$stage/usr/share/metainfo/$id.metainfo.xml" \
    || fail "metainfo release is not $version"

# The file type: the database built from the package alone must know the glob and the magic.
mime="$work/mime"
mkdir -p "$mime/packages"
cp "$stage/usr/share/mime/packages/$id.xml" "$mime/packages/"
# (In the search path, or the tool adds a note that it is not.)
XDG_DATA_DIRS="$work" update-mime-database "$mime" 2> "$work/mime.err" || fail "update-mime-database"
[ -s "$work/mime.err" ] && { cat "$work/mime.err" >&2; fail "the MIME package has warnings"; }
grep -q ':application/x-ocuvis-3d:\*\.3d' "$mime/globs2" || fail "no *.3d glob"
grep -qa 'TABLE3D' "$mime/magic" || fail "no TABLE3D magic"

# The package: the same files, the libraries found by dpkg-shlibdeps, the fonts by hand.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/deb" > "$work/cpack.log" \
    || { cat "$work/cpack.log" >&2; fail "cpack"; }
deb="$(find "$work/deb" -maxdepth 1 -name "ocuvis_${version}_*.deb" | head -n 1)"
if [ -z "$deb" ]; then
    fail "no ocuvis_${version}_*.deb made"
else
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort \
        > "$work/packaged"
    diff -u "$expected" "$work/packaged" || fail "package files differ from the expected list"
    depends="$(dpkg-deb -f "$deb" Depends)"
    for needed in libqt6widgets6 libqt6printsupport6 libsqlite3-0 fonts-liberation; do
        [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
    done
fi

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "install and package checks passed"
