#!/usr/bin/env bash
# Checks that the Windows download is reproducible: builds the package twice from fresh clones of
# one commit, in separate folders, and compares the two zips' SHA-256. The second build also runs
# in another time zone, with another umask and under the C locale, none of which may show in the
# zip. Exit code 0 only when both zips are byte for byte the same.
#
#   scripts/check-reproducible.sh [COMMIT]      (default HEAD; uncommitted changes are not built)
# Environment: JOBS (parallel build jobs, default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
commit=$(git rev-parse --verify "${1:-HEAD}^{commit}")
jobs=${JOBS:-2}
work=$(mktemp -d "${TMPDIR:-/tmp}/vellumo-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT

say() { echo "check-reproducible: $*"; }

build() {
  local folder=$1
  git clone --quiet --no-local --no-checkout "$root" "$folder"
  git -C "$folder" checkout --quiet --detach "$commit"
  (
    cd "$folder"
    cmake --preset windows -DVELLUMO_TESTS=OFF >/dev/null
    cmake --build --preset windows -j "$jobs" --target package >/dev/null
  ) || { say "the build in $folder failed"; exit 1; }
}

say "building commit ${commit:0:12} twice"
build "$work/first"
(umask 077 && export TZ=Asia/Tokyo LC_ALL=C && build "$work/second-build")

zip_name=$(cd "$work/first/build/windows" && ls vellumo-*-win64.zip)
first=$(sha256sum "$work/first/build/windows/$zip_name" | cut -d' ' -f1)
second=$(sha256sum "$work/second-build/build/windows/$zip_name" | cut -d' ' -f1) || {
  say "the second build made no $zip_name"
  exit 1
}
say "$zip_name"
say "  first build:  $first"
say "  second build: $second"
if [ "$first" != "$second" ]; then
  say "the two zips differ"
  exit 1
fi
say "identical"
