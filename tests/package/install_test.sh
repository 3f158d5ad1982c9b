#!/usr/bin/env bash
# The Debian package as a user gets it: cpack builds the .deb from the build tree, dpkg-deb
# unpacks it into a temporary root, and the zynta-cli found there solves the Darcy-Weisbach
# worked example on the data installed beside it in usr/share/zynta.
#   install_test.sh BUILD_DIR VERSION APP_ID
set -euo pipefail

build=$1 version=$2 app_id=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/zynta-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# --- the package ------------------------------------------------------------------------------
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
debs=("$work"/out/zynta_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "one zynta_*.deb expected, got: ${debs[*]}"
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "zynta_${version}_${arch}.deb" ] || fail "file name $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zynta ] || fail "Package $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version $(field Version)"
[ "$(field Section)" = science ] || fail "Section $(field Section)"
# dpkg-shlibdeps found the libraries the binaries link.
for lib in libc6 libstdc++6 libpugixml1v5 libcurl4 libqt6widgets6 libqt6svg6; do
  [[ ", $(field Depends)," == *", $lib "* || ", $(field Depends)," == *", $lib,"* ]] ||
    fail "Depends lacks $lib: $(field Depends)"
done

# --- the file list ----------------------------------------------------------------------------
dpkg-deb -x "$deb" "$work/root"
root=$work/root
dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/files"
outside=$(grep -v '^\./usr/' "$work/files" | grep -v '^\./$' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
for f in usr/bin/zynta usr/bin/zynta-cli; do
  [ -x "$root/$f" ] || fail "$f is not an executable"
done
for f in ZYNTA.ini PipeSpec.XML PipeSize.XML Liq_prop.XML SOURCES.md help/index.html help/help.css \
         icons/zynta.svg; do
  cmp -s "$root/usr/share/zynta/$f" "$build/bin/$f" || fail "usr/share/zynta/$f differs from build/bin"
done
for f in "usr/share/applications/$app_id.desktop" usr/share/icons/hicolor/scalable/apps/zynta.svg \
         "usr/share/metainfo/$app_id.metainfo.xml" usr/share/doc/zynta/copyright; do
  [ -s "$root/$f" ] || fail "$f missing"
done
for page in zynta zynta-cli; do
  gzip -t "$root/usr/share/man/man1/$page.1.gz" 2>/dev/null || fail "man page $page.1.gz"
done
grep -qx "Exec=zynta" "$root/usr/share/applications/$app_id.desktop" || fail "desktop entry Exec"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "metainfo release $version"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
else
  echo "desktop-file-validate not installed: desktop entry not validated"
fi
# The intro tells users to copy the installed entry into ~/.config/autostart: an autostart
# runner of the desktop session must find it there and start the installed program.
if command -v dex >/dev/null; then
  mkdir -p "$work/autostart-home/autostart"
  cp "$root/usr/share/applications/$app_id.desktop" "$work/autostart-home/autostart/"
  started=$(XDG_CONFIG_HOME="$work/autostart-home" XDG_CONFIG_DIRS="$work/none" dex --autostart --dry-run 2>&1)
  [ "$started" = "Executing command: zynta" ] || fail "the entry in autostart runs: $started"
  [ -x "$root/usr/bin/zynta" ] || fail "the autostart command zynta is not in usr/bin"
else
  echo "dex not installed: the entry's autostart run not checked"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$work/appstream.log" ||
    { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
else
  echo "appstreamcli not installed: metainfo not validated"
fi

# --- the installed program solves -------------------------------------------------------------
solve() {
  (cd / && HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" "$root/usr/bin/zynta-cli" solve \
    --equation Darcy-Weisbach 'IDia=2.067 in' 'Len=100 ft' 'Fric=0.00015 ft' 'Vis=1.13 cSt' 'Flow=100 gpm')
}
solve >"$work/report" 2>"$work/err" || { cat "$work/err" >&2; fail "zynta-cli solve from the package"; }
tr -d '\r' <"$work/report" >"$work/report.lf"
cat >"$work/expected" <<'REPORT'

System is solved!

Solve for: HL given D,L,E,Vis,Q
Using Darcy-Weisbach equation

     Inside Dia (D):        2.067 in
           Area (A):         3.36 in2
         Length (L):       100.00 ft
     Spec Rough (E):      0.00015 ft
    Viscosity (Vis):         1.13 cSt
     Spec Grav (SG):         1.00  
           Flow (Q):       100.00 gpm
      Headloss (HL):        17.43 ftliq
     Velocity (Vel):         9.56 ft/s
    Reynolds # (Nr):       135400 Turbulent
Friction Factor (f):        0.021  

REPORT
diff -u "$work/expected" "$work/report.lf" || fail "the worked example's report"

# The installed zynta-cli links no Qt; its plot command loads the plots from usr/lib/zynta.
if ldd "$root/usr/bin/zynta-cli" | grep -qi "libQt"; then fail "zynta-cli links Qt"; fi
[ -f "$root/usr/lib/zynta/zynta-plots.so" ] || fail "usr/lib/zynta/zynta-plots.so missing"
(cd / && HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" "$root/usr/bin/zynta-cli" plot \
  --png "$work/pipe" 'IDia=2.067 in' 'Len=100 ft' 'Fric=120' 'Flow=100 gpm') >"$work/plot" 2>"$work/err" ||
  { cat "$work/err" >&2; fail "zynta-cli plot from the package"; }
head -c 8 "$work/pipe-system.png" | od -An -tx1 | grep -q "89 50 4e 47" || fail "the plot is no PNG"

# The answer above came from usr/share/zynta: without it the same program cannot start.
mv "$root/usr/share/zynta" "$root/usr/share/zynta.away"
if solve >/dev/null 2>"$work/err"; then fail "zynta-cli solved without usr/share/zynta"; fi
grep -q "not found" "$work/err" || { cat "$work/err" >&2; fail "the missing data is not named"; }

echo "package $(basename "$deb"): $(wc -l <"$work/files") entries, $(stat -c %s "$deb") bytes"
