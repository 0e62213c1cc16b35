#!/usr/bin/env bash
# Fails when a source file includes from a folder that is not below its own.
# Layers, bottom first; a folder may include its own files and any lower layer:
#   0 base | 1 protocol, store | 2 app/core, admin/core | 3 components
#   4 lists, admin | 5 app
# The files of src/app named in src/app/HeadlessUnits.txt make the program
# that runs without Qt: they include no Qt header and, from src/app, only
# each other; below src/app only the Qt-free layers (base to app/core, admin/core).
set -euo pipefail
cd "$(dirname "$0")/../src"
layer() {
  case "$1" in
    base) echo 0 ;; protocol | store) echo 1 ;; app/core | admin/core) echo 2 ;;
    components) echo 3 ;; lists | admin) echo 4 ;; app) echo 5 ;; *) echo -1 ;;
  esac
}
folder() {  # src-relative path -> its folder (app/core, admin/core or the top folder)
  case "$1" in
    app/core/*) echo app/core ;; admin/core/*) echo admin/core ;; *) echo "${1%%/*}" ;;
  esac
}
headless=" $(grep -v '^#' app/HeadlessUnits.txt | tr '\n' ' ') "
isHeadless() {  # src-relative path -> whether it is one of the headless units
  case "$1" in app/core/*) return 1 ;; app/*) ;; *) return 1 ;; esac
  local name=${1#app/}
  [[ "$headless" == *" ${name%.*} "* ]]
}
bad=0
while IFS= read -r file; do
  from=$(folder "$file")
  if isHeadless "$file"; then
    while IFS= read -r inc; do
      echo "src/$file includes <$inc>: the headless program has no Qt"
      bad=1
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\(Q[^>]*\)>.*/\1/p' "$file")
  fi
  while IFS= read -r inc; do
    [ -f "$inc" ] || continue  # system and Qt headers
    if isHeadless "$file" && [ "$(layer "$(folder "$inc")")" -gt 2 ] && ! isHeadless "$inc"; then
      echo "src/$file includes \"$inc\": the headless program has no Qt"
      bad=1
    fi
    to=$(folder "$inc")
    [ "$from" = "$to" ] && continue
    lf=$(layer "$from"); lt=$(layer "$to")
    if [ "$lf" -lt 0 ] || [ "$lt" -lt 0 ] || [ "$lt" -ge "$lf" ]; then
      echo "src/$file includes \"$inc\": $to is not below $from"
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)
exit $bad
