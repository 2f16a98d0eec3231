#!/usr/bin/env bash
# The folders of src/ depend one way only:
#   app/            wires everything
#   questionnaire/  workfile/  report/  updates/    the features
#   ui/             window and dialog services, small widgets
# ui/ includes nothing of the features or of app/, and no feature includes
# app/. Lists every include that runs upward and fails if there is one.
#   check_includes.sh SRC_FOLDER
set -uo pipefail
src=$1
cd "$src" || exit 2
features='questionnaire|workfile|report|updates'
upward=$(
  grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]+\"(app|$features)/" ui/*.h ui/*.cpp
  grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"app/' $(ls -d questionnaire/* workfile/* report/* updates/* | grep -E '\.(h|cpp)$')
)
if [[ -n "$upward" ]]; then
  echo "Includes that run upward (ui/ must not know the features or app/; the features must not know app/):"
  echo "$upward"
  exit 1
fi
echo "Every include of src/ points down."
