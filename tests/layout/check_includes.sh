#!/usr/bin/env bash
# The folders of src/ depend one way only, each on those below it:
#   app/                          wires everything
#   workfile/  report/  updates/  navigation/
#                                 the features, which know nothing of each other
#   questionnaire/                the catalogue, the responses and the pages
#   ui/                           window and dialog services, small widgets
#   io/                           code page, block writer, safe file writing
# Lists every include that runs upward or sideways and fails if there is one.
#   check_includes.sh SRC_FOLDER
set -uo pipefail
src=$1
cd "$src" || exit 2
declare -A allowed=(
  [io]="io"
  [ui]="io|ui"
  [questionnaire]="io|ui|questionnaire"
  [workfile]="io|ui|questionnaire|workfile"
  [report]="io|ui|questionnaire|report"
  [updates]="io|ui|questionnaire|updates"
  [navigation]="io|ui|questionnaire|navigation"
)
wrong=""
for folder in "${!allowed[@]}"; do
  files=$(ls "$folder"/*.h "$folder"/*.cpp 2>/dev/null)
  [[ -n "$files" ]] || continue
  found=$(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z]+/' $files \
          | grep -vE "#[[:space:]]*include[[:space:]]+\"(${allowed[$folder]})/")
  [[ -n "$found" ]] && wrong+="$found"$'\n'
done
if [[ -n "$wrong" ]]; then
  echo "Includes that run upward or from one feature into another (io/ < ui/ < questionnaire/ < workfile/, report/, updates/, navigation/ < app/):"
  printf '%s' "$wrong"
  exit 1
fi
echo "Every include of src/ points down."
