#!/usr/bin/env bash
# Installs the Debian packages that are missing for what is asked:
#
#   install-deps.sh [PURPOSE...]
#
#   build    building the program folder            packages/build.txt
#   run      build, and running the program         + packages/run.txt
#   package  build, and the Debian package          + packages/package.txt
#   test     run and package, and the test suite    + packages/test.txt
#   bench    run, and the benchmarks                + packages/bench.txt
#
# With no purpose, test. Does nothing (and needs no root) when everything is
# there already.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# The lists each purpose needs, in the order they are read.
declare -A lists=(
  [build]="build"
  [run]="build run"
  [package]="build package"
  [test]="build run package test"
  [bench]="build run bench"
)

purposes=("$@")
[[ ${#purposes[@]} -gt 0 ]] || purposes=(test)
files=()
for purpose in "${purposes[@]}"; do
  if [[ -z "$purpose" || -z "${lists[$purpose]+set}" ]]; then
    echo "install-deps.sh: unknown purpose '$purpose' (one of: build run package test bench)" >&2
    exit 2
  fi
  for list in ${lists[$purpose]}; do
    files+=("$here/packages/$list.txt")
  done
done
mapfile -t wanted < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' "${files[@]}" | sort -u)

# One dpkg-query for all of them; a package it does not know is missing.
declare -A installed=()
while read -r pkg state; do
  [[ "$state" == "installed" ]] && installed[$pkg]=1
done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${wanted[@]}" 2>/dev/null || true)
missing=()
for pkg in "${wanted[@]}"; do
  [[ -n "${installed[$pkg]+set}" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing Debian packages (${purposes[*]}): ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Please run as root (or install sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# Services such as the print spooler must not start during installation on
# a build machine; the tests start their own.
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
