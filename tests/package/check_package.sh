#!/usr/bin/env bash
# Builds the Debian package with cpack into a folder of its own and checks
# what a teacher's machine gets: the files, the relations to other packages,
# lintian's verdict, the menu entry and AppStream file, the icon sizes, and
# the programs themselves run from the unpacked tree.
#   check_package.sh CPackConfig.cmake WORKDIR VERSION with-libreoffice|without-libreoffice
set -uo pipefail
config=$1 work=$2 version=$3 office=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; "$@" >"$work/out" 2>&1 || { fail "$what"; cat "$work/out"; }; }

rm -rf "$work/deb" "$work/root" && mkdir -p "$work/deb" "$work/root"
cpack --config "$config" -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
deb=$work/deb/velmora_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$work/deb"; echo "FAIL: no $deb"; exit 1; }

# The files, folders left out.
expected=(
  usr/bin/velmora
  usr/bin/velmora-xls
  usr/libexec/velmora/velmora-xls-pdf
  usr/share/applications/velmora.desktop
  usr/share/doc/velmora/changelog.gz
  usr/share/doc/velmora/copyright
  usr/share/icons/hicolor/128x128/apps/velmora.png
  usr/share/icons/hicolor/48x48/apps/velmora.png
  usr/share/icons/hicolor/scalable/apps/velmora.svg
  usr/share/man/man1/velmora-xls.1.gz
  usr/share/man/man1/velmora.1.gz
  usr/share/metainfo/com.example.velmora.metainfo.xml
  usr/share/velmora/Velmoravm2.1.xls
)
[ "$office" = with-libreoffice ] && expected+=(usr/share/lintian/overrides/velmora)
actual=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort)
diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$actual") >"$work/out" ||
  { fail "file list (< expected, > in the package)"; cat "$work/out"; }

# Relations: Depends from the libraries plus what is loaded by name.
field() { dpkg-deb --field "$deb" "$1"; }
depends=$(field Depends)
for p in fonts-arphic-uming qt6-translations-l10n libqt6widgets6 libgsf-1-114 libc6; do
  grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
done
[ "$(field Recommends)" = "libreoffice-calc, libreoffice-l10n-zh-cn, fcitx5-frontend-qt6" ] ||
  fail "Recommends: $(field Recommends)"
[ "$(field Package) $(field Version)" = "velmora $version" ] || fail "name and version"

check "lintian" lintian --fail-on error,warning "$deb"

dpkg-deb -x "$deb" "$work/root"
root=$work/root
check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/velmora.desktop"
check "appstreamcli validate" appstreamcli validate --no-net "$root/usr/share/metainfo/com.example.velmora.metainfo.xml"
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/velmora.desktop")
[ -x "$root/usr/bin/${exec_line%% *}" ] || fail "the menu entry starts \"$exec_line\", which the package lacks"
for size in 48 128; do  # a PNG's width and height: big-endian, from byte 16
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/velmora.png
  [ "$(od -An -tu4 --endian=big -j16 -N8 "$png" | xargs)" = "$size $size" ] ||
    fail "the ${size} px icon is $(od -An -tu4 --endian=big -j16 -N8 "$png")"
done

# The installed programs: answers without a display, the template found
# beside the program, the tool's verbs.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
[ "$(run "$root/usr/bin/velmora" --version)" = "《Velmora》班主任工作助手 vm$version" ] ||
  fail "velmora --version: $(run "$root/usr/bin/velmora" --version 2>&1)"
help=$(run "$root/usr/bin/velmora" --help) || fail "velmora --help failed"
grep -q "^用法：velmora" <<<"$help" || fail "velmora --help: $help"
grep -qx "工作簿模板：$root/usr/share/velmora/Velmoravm2.1.xls" <<<"$help" ||
  fail "the installed velmora looks for its template elsewhere: $help"
usage=$(run "$root/usr/bin/velmora-xls" --help) || fail "velmora-xls --help failed"
for verb in sheets get set put dump formulas pdf; do
  grep -q "velmora-xls $verb " <<<"$usage" || fail "velmora-xls --help lacks $verb: $usage"
done
run "$root/usr/bin/velmora-xls" sheets "$root/usr/share/velmora/Velmoravm2.1.xls" | grep -qx 学生档案 ||
  fail "the installed velmora-xls cannot read the installed template"
run "$root/usr/bin/velmora-xls" pdf "$root/usr/share/velmora/Velmoravm2.1.xls" 打印到学籍卡上 "$work/card.pdf" \
  >"$work/out" 2>&1 && head -c 4 "$work/card.pdf" | grep -q "%PDF" ||
  fail "the installed velmora-xls cannot print without a display: $(cat "$work/out")"

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb"): all checks passed"
