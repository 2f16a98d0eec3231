#!/usr/bin/env bash
# The folders of src/ depend one way only, each on those below it:
#   app/  cli/                    the two front doors: the windows, brevant-cli
#   workfile/ report/ print/ navigation/ updates/
#                                 the windows and commands of each feature,
#                                 which know nothing of each other
#   questionnaire/                the responses and their pages
#   ui/                           window and dialog services, small widgets
#   engine/                       the document engine, a module of its own
#   document/                     the report model, its writers, the engine's interface
#   core/                         the catalogue and the work file
#   io/                           code page, block writer, safe file writing
# Lists every include that runs upward or sideways and fails if there is one.
# In app/, only the program itself and main.cpp know Program: a window asks
# for another through WindowHost.
#   check_includes.sh SRC_FOLDER
set -uo pipefail
src=$1
cd "$src" || exit 2
declare -A allowed=(
  [io]="io"
  [core]="io|core"
  [document]="io|core|document"
  [engine]="io|core|document|engine"
  [ui]="io|core|ui"
  [questionnaire]="io|core|ui|questionnaire"
  [workfile]="io|core|ui|questionnaire|workfile"
  [report]="io|core|document|ui|questionnaire|report"
  [print]="io|core|document|ui|questionnaire|print"
  [updates]="io|core|ui|questionnaire|updates"
  [navigation]="io|core|ui|questionnaire|navigation"
  [cli]="io|core|document|cli"
  [app]="io|core|document|ui|questionnaire|workfile|report|print|updates|navigation|app"
)
wrong=""
for folder in "${!allowed[@]}"; do
  files=$(ls "$folder"/*.h "$folder"/*.cpp 2>/dev/null)
  [[ -n "$files" ]] || continue
  found=$(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z]+/' $files \
          | grep -vE "#[[:space:]]*include[[:space:]]+\"(${allowed[$folder]})/")
  [[ -n "$found" ]] && wrong+="$found"$'\n'
done
# A folder of src/ that the table above does not know.
for folder in */; do
  folder=${folder%/}
  [[ -n "${allowed[$folder]+x}" ]] || wrong+="$folder/: a folder the include check does not know"$'\n'
done
found=$(grep -lE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"app/program\.h"' app/*.h app/*.cpp \
        | grep -vE '^app/(program\.h|program\.cpp|programrecovery\.cpp|programfiles\.cpp|main\.cpp)$')
[[ -n "$found" ]] && wrong+="$(printf '%s: includes app/program.h; use WindowHost\n' $found)"$'\n'
if [[ -n "$wrong" ]]; then
  echo "Includes that run upward or from one feature into another (io/ < core/ < document/ < engine/; core/ < ui/ < questionnaire/ < features < app/; document/ < cli/):"
  printf '%s' "$wrong"
  exit 1
fi
echo "Every include of src/ points down."
