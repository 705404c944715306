#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root and checks that the unpacked tree
# works and integrates with the desktop: the programs find their files under share/tessmark, the
# desktop entry, metainfo and MIME types validate, and every data file type is recognised.
#   package_test.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build_dir=$1
source_dir=$2
version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# ---- the package
cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack could not make the package"; }
deb=$(ls "$work"/pkg/tessmark_"$version"_*.deb) || fail "no tessmark_${version} package"
[ "$(dpkg-deb -f "$deb" Package)" = tessmark ] || fail "the package is not named tessmark"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in fonts-ipafont-gothic qt6-qpa-plugins libqt6widgets6; do
    [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
root=$work/root
dpkg-deb -x "$deb" "$root"

# ---- the unpacked programs, started from elsewhere so nothing is found by accident
cd "$work"
export XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
samples=$root/usr/share/tessmark/samples
shown=$("$root/usr/bin/tessmark-cli" show "$samples/sample.kgd") ||
    fail "the unpacked tessmark-cli cannot show the installed sample"
grep -q "試験コード  102-004-017-0026" <<<"$shown" || fail "unexpected show output: $shown"
# Drawing commands run in the private helper program the package installs beside.
"$root/usr/bin/tessmark-cli" graph "$source_dir/samples/sample.kgd" "$work/graph.png" --kind nsw ||
    fail "the unpacked tessmark-cli cannot draw a graph"
[ -s "$work/graph.png" ] || fail "the unpacked tessmark-cli drew no graph"
status=0
printed=$(timeout 8 "$root/usr/bin/tessmark" --version 2>&1) || status=$?
if [ "$status" -eq 124 ]; then
    echo "note: this build's tessmark has no --version yet (it started its window)"
else
    [[ $printed == *"$version"* ]] || fail "tessmark --version printed: $printed"
fi
[ -f "$root/usr/share/tessmark/guide/index.html" ] || fail "the user's guide is not installed"
# The samples the guide names, the site's tests beside its file.
for sample in sample.ktd sample.kgd sample.kmd sample.ksd site/sample.tsite site/No1.ktd; do
    [ -f "$samples/$sample" ] || fail "the sample $sample is not installed"
done
"$root/usr/bin/tessmark-cli" site show "$samples/site/sample.tsite" >/dev/null ||
    fail "the installed sample site does not read"
for page in tessmark tessmark-cli; do
    [ -f "$root/usr/share/man/man1/$page.1.gz" ] || fail "no manual page for $page"
done

# ---- desktop integration files
share=$root/usr/share
desktop-file-validate "$share/applications/example.korvath.Tessmark.desktop" ||
    fail "desktop entry invalid"
appstreamcli validate --no-net "$share/metainfo/example.korvath.Tessmark.metainfo.xml" ||
    fail "metainfo invalid"
xmllint --noout "$share/mime/packages/tessmark.xml" || fail "MIME XML not well-formed"
XDG_DATA_DIRS="$share" update-mime-database "$share/mime" 2>&1 | tee "$work/mime.log"
[ ! -s "$work/mime.log" ] || fail "update-mime-database complained"

# Only the package's types, and no desktop-specific tool: xdg-mime asks shared-mime-info.
mkdir -p "$work/files" "$work/home"
cp "$source_dir"/samples/sample.* "$work/files/"
cp "$source_dir/samples/sample.kgd" "$work/files/sample.k25"
cp "$source_dir/samples/sample.kgd" "$work/files/sample.k00"
cp "$source_dir/samples/site/sample.tsite" "$work/files/sample.tsite"
for file in "$work"/files/sample.*; do
    expected=application/x-tessmark-${file##*.}
    got=$(env -u XDG_CURRENT_DESKTOP -u XDG_SESSION_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION \
        -u GNOME_DESKTOP_SESSION_ID -u MATE_DESKTOP_SESSION_ID -u DISPLAY -u WAYLAND_DISPLAY \
        XDG_DATA_DIRS="$share" XDG_DATA_HOME="$work/home" xdg-mime query filetype "$file")
    [ "$got" = "$expected" ] || fail "$(basename "$file") is $got, not $expected"
done
# A file without its extension is known by its content where the content allows.
cp "$source_dir/samples/sample.ktd" "$work/files/noname-transfer"
cp "$source_dir/samples/sample.kgd" "$work/files/noname-standard"
for pair in noname-transfer:ktd noname-standard:kgd; do
    got=$(XDG_DATA_DIRS="$share" XDG_DATA_HOME="$work/home" mimetype --brief --magic-only \
        "$work/files/${pair%%:*}")
    [ "$got" = "application/x-tessmark-${pair##*:}" ] || fail "${pair%%:*} by content is $got"
done

echo "package $deb: unpacked tree works, desktop files valid, all seven types recognised"
