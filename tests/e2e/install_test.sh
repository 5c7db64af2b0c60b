#!/usr/bin/env bash
# Installs the MSI under Wine, starts the installed program, uninstalls, and
# checks what stays: the program's files and the start-up shortcut the
# program may have made go, the user's parametres.inf and programme_IR.inf
# and the other files of the StartUp folder stay.
#
#   tests/e2e/install_test.sh [MSI ZIP]
#
# Without arguments it takes the packages scripts/package wrote for the
# version CMake configured (dist/TalvoroIR-<version>.msi and
# -portable.zip). The files the MSI must install are the ones the portable
# zip holds, byte for byte. Runs in a fresh Wine prefix of its own
# (build/windows/install-wine), on a private X server; prints every check.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)

if [[ ${1:-} != --inside ]]; then
  if [[ $# -eq 2 ]]; then
    msi=$1
    zip_file=$2
  elif [[ $# -eq 0 ]]; then
    version=$(tr -d '[:space:]' <"$root/build/windows/installer/version.txt")
    msi=$root/dist/TalvoroIR-$version.msi
    zip_file=$root/dist/TalvoroIR-$version-portable.zip
  else
    echo "usage: install_test.sh [MSI ZIP]" >&2
    exit 2
  fi
  for f in "$msi" "$zip_file"; do
    [[ -f $f ]] || { echo "install_test.sh: no $f (run scripts/package)" >&2; exit 2; }
  done
  # A fresh prefix: an earlier run's installation and data files must not
  # make this one pass.
  prefix=$root/build/windows/install-wine
  rm -rf "$prefix"
  exec "$here/run_under_wine.sh" --prefix "$prefix" --timeout 240 --command -- \
    "${BASH_SOURCE[0]}" --inside "$(realpath "$msi")" "$(realpath "$zip_file")"
fi

# ---------------------------------------------------------------------------
# Inside the Wine session set up by run_under_wine.sh.

msi=$2
zip_file=$3
wine_bin=${TALVORO_WINE:?run through run_under_wine.sh}
work=$(mktemp -d)
program_pid=""

failures=0
check() {
  # $1: what is checked; the rest: the command that must succeed.
  local what=$1
  shift
  if "$@"; then
    echo "  ok    $what"
  else
    echo "  FAIL  $what"
    failures=$((failures + 1))
  fi
}

finish() {
  local rc=$?
  # The program, if a failed step left it running (only the one started here).
  if [[ -n $program_pid ]]; then
    kill "$program_pid" 2>/dev/null || true
  fi
  if [[ $rc -ne 0 || $failures -ne 0 ]]; then
    for log in "$work"/*.log; do
      [[ -f $log ]] || continue
      echo "--- $(basename "$log") (last lines)"
      tr -d '\000' <"$log" | tail -n 25
    done
  fi
  rm -rf "$work"
  if [[ $rc -eq 0 && $failures -ne 0 ]]; then
    echo "install_test.sh: $failures check(s) failed"
    exit 1
  fi
  exit $rc
}
trap finish EXIT

wine() { "$wine_bin" "$@" </dev/null; }
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# A folder of the user's profile as Wine sees it, as a path of this machine.
profile_folder() {
  local windows
  windows=$(wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')
  wine winepath -u "$windows" 2>/dev/null | tr -d '\r'
}
msiexec() {
  # $1: /i or /x, $2: name of the log, then properties. Wine's msiexec
  # returns when the installation has ended, with its result as status.
  wine msiexec "$1" "$(windows_path "$msi")" /qn /l*v "$(windows_path "$work/$2.log")" "${@:3}"
}
wait_for() {
  # $1: seconds; the rest: the command that must succeed.
  local seconds=$1 i
  shift
  for ((i = 0; i < seconds * 4; i++)); do
    "$@" && return 0
    sleep 0.25
  done
  return 1
}
both_data_files() { [[ -s $install_dir/parametres.inf && -s $install_dir/programme_IR.inf ]]; }
# The link keeps its target's path in ANSI or UTF-16 text: drop the zero
# bytes to find either.
shortcut_target() {
  tr -d '\000' <"$shortcut" | grep -aqF 'AppData\Local\Programs\Talvoro IR\Talvoro_IR.exe'
}
program_gone() { ! kill -0 "$program_pid" 2>/dev/null; }
help_installed() { [[ ! -d $work/zip/TalvoroIR/help ]] || [[ -n $(ls -A "$install_dir/help" 2>/dev/null) ]]; }
key_path_values() {
  # The values that tell Windows Installer the components are installed.
  local name
  for name in Program StartMenuShortcut; do
    wine reg query 'HKCU\Software\Talvoro\Talvoro IR' /v "$name" >/dev/null 2>&1 || return 1
  done
}
no_key_path_value() {
  local name
  for name in Program StartMenuShortcut Help; do
    ! wine reg query 'HKCU\Software\Talvoro\Talvoro IR' /v "$name" >/dev/null 2>&1 || return 1
  done
}
# The hive whose Uninstall key lists the product, if any. Windows lists a
# per-user product under HKLM with the user's registration beside it; accept
# either hive and say which.
uninstall_hive() {
  local hive
  for hive in HKCU HKLM; do
    if wine reg query "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s 2>/dev/null |
      tr -d '\r' | grep -q 'DisplayName.*Talvoro IR'; then
      echo "$hive"
      return 0
    fi
  done
}
not_machine_wide() {
  local folder
  for folder in "$WINEPREFIX/drive_c/Program Files" "$WINEPREFIX/drive_c/Program Files (x86)"; do
    [[ -z $(find "$folder" -iname '*talvoro*' 2>/dev/null) ]] || return 1
  done
}
no_uninstall_entry() { [[ -z $(uninstall_hive) ]]; }

mapfile -t payload < <(unzip -Z1 "$zip_file" | grep -v '/$' | sed 's#^TalvoroIR/##')
mkdir -p "$work/zip"
unzip -q "$zip_file" -d "$work/zip"

local_app_data=$(profile_folder LOCALAPPDATA)
start_menu=$(profile_folder APPDATA)/Microsoft/Windows/Start\ Menu/Programs
# The user's StartUp folder, however this Wine spells it.
startup_folder=$(find "$start_menu" -maxdepth 1 -type d -iname startup 2>/dev/null | head -n 1)
startup_folder=${startup_folder:-$start_menu/Startup}
install_dir=$local_app_data/Programs/Talvoro\ IR
shortcut=$start_menu/Talvoro\ IR.lnk
[[ -n $local_app_data && -d $local_app_data ]] || {
  echo "install_test.sh: cannot find the user's local application data folder" >&2
  exit 1
}
echo "Package: $msi (${#payload[@]} files in the portable zip)"
echo "Per-user program folder: $install_dir"

echo "Install (msiexec /i /qn):"
check "msiexec /i succeeds" msiexec /i install
all_installed=1
for f in "${payload[@]}"; do
  cmp -s "$work/zip/TalvoroIR/$f" "$install_dir/$f" || {
    echo "        missing or different: $f"
    all_installed=0
  }
done
check "the ${#payload[@]} files of the zip are installed, same bytes" test $all_installed -eq 1
check "help pages installed when the build has them" help_installed
check "nothing else in the program folder" \
  test "$(find "$install_dir" -type f | wc -l)" -eq "${#payload[@]}"
check "nothing in the machine-wide program folders" not_machine_wide
check "no configuration file installed" \
  test ! -e "$install_dir/parametres.inf" -a ! -e "$install_dir/programme_IR.inf"
check "Start-menu shortcut: Talvoro IR.lnk" test -s "$shortcut"
check "the shortcut points at the installed program" shortcut_target
check "per-user key path values under HKCU\\Software\\Talvoro\\Talvoro IR" key_path_values
entry_hive=$(uninstall_hive)
check "uninstall entry 'Talvoro IR' (${entry_hive:-none})" test -n "$entry_hive"

echo "Start the installed program:"
"$wine_bin" "$(wine winepath -w "$install_dir/Talvoro_IR.exe" 2>/dev/null | tr -d '\r')" \
  </dev/null >"$work/program.log" 2>&1 &
program_pid=$!
check "it writes parametres.inf and programme_IR.inf beside itself" wait_for 60 both_data_files
check "it is still running" kill -0 "$program_pid"
# The prefix is this test's own: the only Talvoro_IR.exe in it is the one
# started above. taskkill without /F asks its windows to close, as the close
# box does.
wine taskkill /IM Talvoro_IR.exe >/dev/null 2>&1 || true
check "it ends when asked to close" wait_for 20 program_gone
if program_gone; then
  program_pid=""
else
  kill "$program_pid" 2>/dev/null || true
  wait_for 10 program_gone || true
fi
sums_before=$(cd "$install_dir" && md5sum parametres.inf programme_IR.inf 2>/dev/null || true)
# The start-up shortcut as the settings dialog names it (the end-to-end
# tests check that the program makes it; its content does not matter to the
# uninstall), beside a shortcut of another program.
mkdir -p "$startup_folder"
printf 'link' >"$startup_folder/Talvoro_IR.exe.lnk"
printf 'other' >"$startup_folder/Other program.lnk"

# A newer package removes this one with UPGRADINGPRODUCTCODE set (Windows
# does; Wine 8's upgrade leaves it out): the start-up shortcut stays, since
# the program comes back where it was.
echo "Removal by an upgrade (msiexec /x /qn UPGRADINGPRODUCTCODE=...), install again:"
check "msiexec /x succeeds" msiexec /x upgrade UPGRADINGPRODUCTCODE='{0F7E5C9A-2B64-4D3E-9A51-7C8E2D4B6A10}'
check "the program is gone" test ! -e "$install_dir/Talvoro_IR.exe"
check "the start-up shortcut Talvoro_IR.exe.lnk is still there" test -s "$startup_folder/Talvoro_IR.exe.lnk"
check "msiexec /i succeeds" msiexec /i reinstall

echo "Uninstall (msiexec /x /qn):"
check "msiexec /x succeeds" msiexec /x uninstall
none_left=1
for f in "${payload[@]}"; do
  [[ ! -e "$install_dir/$f" ]] || {
    echo "        still there: $f"
    none_left=0
  }
done
check "the program, its pictures and help pages are gone" test $none_left -eq 1
check "the help folder is gone" test ! -e "$install_dir/help"
check "the Start-menu shortcut is gone" test ! -e "$shortcut"
check "the start-up shortcut Talvoro_IR.exe.lnk is gone" test ! -e "$startup_folder/Talvoro_IR.exe.lnk"
check "the rest of the StartUp folder is still there" test -s "$startup_folder/Other program.lnk"
check "the key path values are gone" no_key_path_value
check "the uninstall entry is gone" no_uninstall_entry
check "parametres.inf and programme_IR.inf are still there, unchanged" \
  test -n "$sums_before" -a "$sums_before" = "$(cd "$install_dir" && md5sum parametres.inf programme_IR.inf 2>/dev/null)"
