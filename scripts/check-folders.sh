#!/usr/bin/env bash
# Fails when a folder includes a header of a folder that is not before it in this order,
# naming the file and the include. Folders on one line may not include each other; tests,
# benchmarks and fuzz targets may include anything. With a folder argument, checks that tree.
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
order=(core
       widgets
       "report spreadsheet"
       designer
       masterdata
       register
       "output input maintenance operators"
       app)

declare -A rank
for i in "${!order[@]}"; do
  for folder in ${order[$i]}; do rank[$folder]=$i; done
done

cd "$root"
present=()
for folder in "${!rank[@]}"; do [[ -d $folder ]] && present+=("$folder"); done
back_edges=0
while IFS=: read -r file _ text; do
  from=${file%%/*}
  to=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^/"]+)\/.*/\1/' <<<"$text")
  [[ -n ${rank[$to]+set} && $to != "$from" ]] || continue
  if (( rank[$to] >= rank[$from] )); then
    echo "$file: $text — $from/ may not include $to/"
    back_edges=$((back_edges + 1))
  fi
done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"/]+/' \
           "${present[@]}" | sort)

if (( back_edges > 0 )); then
  groups=()
  for group in "${order[@]}"; do
    [[ $group == *" "* ]] && group="{${group// /, }}"
    groups+=("$group")
  done
  echo "$back_edges include(s) against the order of folders: $(IFS=@; echo "${groups[*]}" | sed 's/@/ ← /g')"
  exit 1
fi
