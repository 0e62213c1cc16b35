#!/usr/bin/env bash
# Fails when a source file includes from a folder that is not below its own.
# Layers, bottom first; a folder may include its own files and any lower layer:
#   0 base | 1 protocol, store | 2 app/core, admin/core | 3 components
#   4 lists, admin | 5 app
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
bad=0
while IFS= read -r file; do
  from=$(folder "$file")
  while IFS= read -r inc; do
    [ -f "$inc" ] || continue  # system and Qt headers
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
