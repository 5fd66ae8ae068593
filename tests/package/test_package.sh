#!/usr/bin/env bash
# The program as a user gets it: the Debian package of this build, checked by
# lintian, unpacked into a temporary folder and started there for a new user
# (a temporary HOME; run as root, the account "nobody"). It must offer the new
# database, make the user's configuration and database and reach the login;
# lindavo-report from the same tree must write a report from the shipped
# layouts.
#
#   test_package.sh BUILD_DIR
# Exits 77 (skipped) when a Debian tool is missing.
set -euo pipefail
build=$(cd "$1" && pwd)

for tool in cpack dpkg-deb dpkg-shlibdeps lintian pdftotext; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (bash scripts/packages.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# --- the package ------------------------------------------------------------
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/lindavo_*_amd64.deb)
echo "package: $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
for dep in firebird3.0-server-core libfbclient2 libqt6widgets6 qt6-qpa-plugins; do
  [[ "$depends" == *"$dep"* ]] || fail "Depends lacks $dep: $depends"
done

lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
if grep -q '^E: ' "$work/lintian.log"; then
  fail "lintian reports errors"
fi

root="$work/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/lindavo usr/bin/lindavo-report usr/share/lindavo/Reports/Preh_Obj_Sk.frf \
         usr/share/applications/sk.quendel.Lindavo.desktop usr/share/metainfo/sk.quendel.Lindavo.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/sk.quendel.Lindavo.svg \
         usr/share/icons/hicolor/48x48/apps/sk.quendel.Lindavo.png usr/share/doc/lindavo/copyright; do
  [ -f "$root/$f" ] || fail "the package lacks /$f"
done
desktop="$root/usr/share/applications/sk.quendel.Lindavo.desktop"
grep -q '^Exec=lindavo$' "$desktop" || fail "the menu entry does not start lindavo"
grep -q '^Categories=Office;$' "$desktop" || fail "the menu entry is not under Office"
grep -q '^Comment\[sk\]=' "$desktop" || fail "the menu entry has no Slovak comment"

version=$("$root/usr/bin/lindavo" --version)
[[ "$version" =~ ^Lindavo\ [0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "lindavo --version: $version"
[[ "$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/lindavo-report" --version 2>/dev/null)" == "lindavo-report ${version#Lindavo }" ]] ||
  fail "lindavo-report --version differs from lindavo's"

# --- the first start of a new user -----------------------------------------
# As root (CI) the user is "nobody", an account without rights to the Firebird
# server's folders, as a desktop user is.
home="$work/home"
mkdir "$home"
as_user=()
if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1 && command -v runuser >/dev/null; then
  chmod 755 "$work"
  chown nobody "$home"
  as_user=(runuser -u nobody --)
fi
user_env=("${as_user[@]}" env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME -u XDG_RUNTIME_DIR
          -u FIREBIRD_LOCK HOME="$home" QT_QPA_PLATFORM=offscreen)

"${user_env[@]}" "$root/usr/bin/lindavo" --help >"$work/help.txt"
grep -qF "$home/.config/Lindavo/Lindavo.ini" "$work/help.txt" || { cat "$work/help.txt"; fail "--help does not name the user's configuration"; }
[ ! -e "$home/.config" ] || fail "--help wrote the configuration"

# The start-up hook (builds with the tests) answers Yes to the offer, notes
# the first window and closes it: a closed login ends the program with 1.
status=0
"${user_env[@]}" LINDAVO_TEST_STARTUP="$home/startup.txt" timeout -k 10 180 "$root/usr/bin/lindavo" >"$work/run.log" 2>&1 || status=$?
cat "$work/run.log"
expected=$'dialog Databáza ešte neexistuje. Vytvoriť novú?\nwindow frmLogin'
[ "$(cat "$home/startup.txt" 2>/dev/null)" == "$expected" ] ||
  fail "the start went otherwise (exit $status): $(cat "$home/startup.txt" 2>/dev/null)"
[ "$status" -eq 1 ] || fail "the closed login should end the program with 1, not $status"

ini="$home/.config/Lindavo/Lindavo.ini"
database="$home/.local/share/Lindavo/Data/Lindavo.fdb"
[ -f "$ini" ] || fail "no $ini"
grep -qxF "Database=$database" "$ini" || { cat "$ini"; fail "the configuration names another database"; }
grep -qxF "Reports=$home/.local/share/Lindavo/Reports" "$ini" || fail "the configuration names other layouts"
grep -qxF "Backups=$home/.local/share/Lindavo/Zalohy" "$ini" || fail "the configuration names other backups"
[ -s "$database" ] || fail "no database at $database"

# --- a report from the shipped layouts, over the new database ----------------
sql="select 'Alfa' as SKUPINA, '' as SKUPINA2, 'Z1' as ZNACKA, 'Preklad zmluvy' as NAZOV,
  cast('2026-05-05' as date) as DATUM_ODOSLANIA_PREKLADU, 'SK-EN' as JAZYKOVA_KOMBINACIA,
  'Cyril' as PREKLADATEL, 'JN' as PM, cast(100.10 as numeric(15,2)) as OBJ_CENA,
  cast(100.10 as numeric(15,2)) as OBJ_CENA_MJ, '' as OBJ_FAKTURA, 'NS' as OBJ_MJ,
  'EUR' as OBJ_MENA, cast(100.10 as numeric(15,2)) as OBJ_CENA_SKK,
  cast(1 as numeric(15,2)) as OBJ_ROZSAH from rdb\$database"
"${user_env[@]}" "$root/usr/bin/lindavo-report" --layout "$root/usr/share/lindavo/Reports/Preh_Obj_Sk.frf" \
  --database "$database" --sql "$sql" --title "Zoznam prekladov" --output "$home/zoznam.pdf" ||
  fail "lindavo-report"
pdftotext "$home/zoznam.pdf" "$work/zoznam.txt"
grep -q "Preklad zmluvy" "$work/zoznam.txt" || { cat "$work/zoznam.txt"; fail "the report lacks its row"; }
grep -q "Zoznam prekladov" "$work/zoznam.txt" || fail "the report lacks its title"
echo "OK"
