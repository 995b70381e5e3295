#!/usr/bin/env bash
# Fails when a folder of src/ includes a folder or a third-party library that
# docs/ARCHITECTURE.md's "may use" table does not allow it. Run by .ci/run.
set -euo pipefail
cd "$(dirname "$0")/.."

# Folder -> the project folders its files may include (besides itself) | third-party headers.
declare -A may_use=(
  [base]="|"
  [addin/host]="|"
  [library]="base addin/host|sqlite3"
  [document]="base addin/host library|"
  [widgets]="base library/RowSink.h|zlib"
  [widgets/qt]="base widgets|Qt"
  [ui]="base addin/host library document widgets widgets/qt|Qt"
  [addin]="base addin/host library document widgets ui|Qt"
  [wordhost/docx]="base addin/host|pugixml libzip zlib"
  [wordhost]="base addin/host library document widgets widgets/qt ui wordhost/docx addin|Qt pugixml"
  [hosts/libreoffice]="base addin/host library document|UNO"
  [cli]="base addin/host library document wordhost/docx hosts/libreoffice|CLI11"
)
declare -A third_party=(
  [sqlite3]='<sqlite3\.h>'
  [zlib]='<zlib\.h>'
  [Qt]='<Q[A-Za-z]+(/[A-Za-z]+)?>|<Qt[A-Za-z]+/'
  [pugixml]='<pugixml\.hpp>'
  [libzip]='<zip\.h>'
  [UNO]='<(com|cppu|cppuhelper|rtl|osl|sal|uno)/'
  [CLI11]='<CLI/'
)

# The folder of a source file: the longest folder of the table that holds it.
folder_of() {
  local dir best=""
  dir=$(dirname "${1#src/}")
  for f in "${!may_use[@]}"; do
    if [[ "$dir" == "$f" || "$dir" == "$f"/* ]] && ((${#f} > ${#best})); then best=$f; fi
  done
  echo "$best"
}

status=0
while IFS= read -r file; do
  folder=$(folder_of "$file")
  if [[ -z "$folder" ]]; then
    echo "check-layering: $file is in a folder the table does not name" >&2
    status=1
    continue
  fi
  allowed_folders="$folder ${may_use[$folder]%%|*}"
  allowed_libs="${may_use[$folder]#*|}"
  while IFS= read -r included; do
    [[ " $allowed_folders " == *" $included "* ]] && continue  # a single header allowed by name
    target=$(folder_of "src/$included")
    [[ -z "$target" ]] && continue
    if [[ " $allowed_folders " != *" $target "* ]]; then
      echo "check-layering: $file includes $included ($folder may not use $target)" >&2
      status=1
    fi
  done < <(sed -nE 's/^#include "([^"]+)".*/\1/p' "$file")
  for lib in "${!third_party[@]}"; do
    if grep -qE "^#include (${third_party[$lib]})" "$file" && [[ " $allowed_libs " != *" $lib "* ]]; then
      echo "check-layering: $file includes $lib, which $folder may not use" >&2
      status=1
    fi
  done
done < <(git ls-files 'src/*.h' 'src/*.cc' 'src/*.cpp')
if ((status == 0)); then echo "check-layering: every folder keeps to its table"; fi
exit $status
