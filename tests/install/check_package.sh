#!/usr/bin/env bash
# Builds the Debian package with CPack, checks its control data and file
# list, unpacks it into a scratch root with dpkg -x and checks that the
# unpacked program finds its data folders and every library it needs.
#   check_package.sh <build folder> <cpack> <application id>
set -euo pipefail
if [[ $# -ne 3 ]]; then
  echo "usage: $0 BUILD_FOLDER CPACK APPLICATION_ID (ctest -R package_deb in the build folder runs it)" >&2
  exit 2
fi
build=$1 cpack=$2 id=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if ! (cd "$work" && "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out") >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack did not build the package"
fi
debs=("$work"/out/brevant_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "expected one package, found: ${debs[*]}"
deb=${debs[0]}
echo "package: $(basename "$deb")"

# Control data: the runtime dependencies a fresh system must pull in.
[[ $(dpkg-deb -f "$deb" Package) == brevant ]] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
# (The document engine's: Pango, Cairo and QPDF, found by dpkg-shlibdeps.)
for pkg in libqt6widgets6 libqt6printsupport6 libqt6sql6 libqt6sql6-sqlite fonts-liberation2 \
           libpangocairo-1.0-0 libcairo2 libqpdf29; do
  grep -Eq "(^|, )$pkg( |,|$)" <<<"$depends" || fail "Depends lacks $pkg: $depends"
done

# File list.
dpkg-deb -c "$deb" | awk '{ $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }' >"$work/list"
for path in ./usr/lib/brevant/brevant ./usr/lib/brevant/brevant-cli ./usr/lib/brevant/libbrevant_documents.so \
            ./usr/lib/brevant/Documentation/Documentation.pdf \
            ./usr/lib/brevant/Templates/ ./usr/lib/brevant/Database/ \
            "./usr/bin/brevant -> ../lib/brevant/brevant" \
            "./usr/bin/brevant-cli -> ../lib/brevant/brevant-cli" \
            ./usr/share/man/man1/brevant-cli.1.gz \
            "./usr/share/applications/$id.desktop" \
            "./usr/share/icons/hicolor/scalable/apps/$id.svg" \
            "./usr/share/metainfo/$id.metainfo.xml"; do
  grep -Fxq -- "$path" "$work/list" || fail "package lacks $path"
done
# Every data file the build put beside the program is in the package.
(cd "$build/bin" && find Templates Documentation Database -type f ! -name .keep) | while read -r f; do
  grep -Fxq -- "./usr/lib/brevant/$f" "$work/list" || fail "package lacks $f"
done
if grep -Eq '(^|/)\.keep$' "$work/list"; then fail "package holds placeholder files"; fi

# Unpacked, the launcher leads to the program, whose folder (the folder of
# the program file) holds the data folders it reads, and every library the
# program needs is found.
dpkg -x "$deb" "$work/root"
program=$(readlink -f "$work/root/usr/bin/brevant")
[[ $program == "$(readlink -f "$work/root/usr/lib/brevant/brevant")" ]] || fail "the launcher leads to '$program'"
folder=$(dirname "$program")
for path in Templates/Executive_Delight.htm Templates/Orange_Madness.htm Templates/Green_Orchids.htm \
            Templates/Template_Examples/Orange_Madness.htm Documentation/Documentation.pdf Database/update.db; do
  [[ -s "$folder/$path" ]] || fail "the unpacked program folder lacks $path"
done
libraries=$(ldd "$program" "$folder/brevant-cli" "$folder/libbrevant_documents.so") || fail "ldd cannot read the unpacked program"
if grep -q 'not found' <<<"$libraries"; then
  fail "libraries of the unpacked program not found: $(grep 'not found' <<<"$libraries" | tr -s ' \t' ' ')"
fi

# The command line, unpacked and stripped as the package has it: it finds
# its designs and its engine (whose build-id the strip kept) and makes a
# PDF with no display.
cli="$work/root/usr/bin/brevant-cli"
"$cli" --version | grep -q '^brevant-cli ' || fail "brevant-cli --version"
mkdir -p "$work/cycle"
for i in $(seq 1 26); do printf 'Response %s\r\n%%%%%%%%\r\n' "$i"; done >"$work/cycle/history.dat"
printf 'Response 27\r\n' >>"$work/cycle/history.dat"
if ! env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$cli" export --format pdf --output "$work/reports" \
       "$work/cycle" >"$work/cli.log" 2>&1; then
  cat "$work/cli.log" >&2
  fail "the unpacked brevant-cli could not make a PDF"
fi
[[ -s "$work/reports/history.pdf" ]] || fail "the unpacked brevant-cli made no PDF"
man -l "$work/root/usr/share/man/man1/brevant-cli.1.gz" >/dev/null 2>&1 || \
  zcat "$work/root/usr/share/man/man1/brevant-cli.1.gz" | grep -q '^\.TH BREVANT-CLI 1' || fail "the manual page"

# On a fresh Debian 12 the package must resolve: simulate its installation
# against an empty package database (needs the package lists of apt).
policy=$(apt-cache policy libqt6widgets6 2>/dev/null || true)
if grep -q 'Candidate: [0-9]' <<<"$policy"; then
  : >"$work/status"
  if ! apt-get -s -q -o Dir::State::status="$work/status" --no-install-recommends install "$deb" >"$work/apt.log" 2>&1; then
    cat "$work/apt.log" >&2
    fail "apt cannot resolve the package's dependencies on an empty system"
  fi
  for pkg in brevant libqt6widgets6 libqt6printsupport6 libqt6sql6-sqlite fonts-liberation2; do
    grep -q "^Inst $pkg " "$work/apt.log" || fail "a fresh install would not bring $pkg"
  done
else
  echo "note: no apt package lists here; skipped the fresh-system simulation"
fi
echo "package layout ok"
