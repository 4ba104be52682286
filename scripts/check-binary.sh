#!/usr/bin/env bash
# Checks the plug-in DLL's export and import tables: it exports exactly the
# two COM entry points and imports only functions that Windows XP x64 and
# Vista x64 export, from the system DLLs listed in scripts/allowed-imports.txt.
set -euo pipefail
dll=$1
list=$(dirname "$0")/allowed-imports.txt
objdump=x86_64-w64-mingw32-objdump

exports=$($objdump -p "$dll" | awk '/\[Ordinal\/Name Pointer\] Table/{p=1;next} p&&/^[[:space:]]*\[/{print $NF} p&&/^$/{p=0}' | sort | tr '\n' ' ')
if [ "$exports" != "DllCanUnloadNow DllGetClassObject " ]; then
  echo "unexpected exports: $exports"; exit 1
fi

# "DLL!function" for every import.
imports=$($objdump -p "$dll" | awk '
  /DLL Name:/ { dll=toupper($3); next }
  /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_]/ && dll != "" { print dll "!" $3 }
  /^$/ { }' | sort -u)
bad=0
while read -r imp; do
  [ -z "$imp" ] && continue
  if ! grep -v "^#" "$list" | grep -qx -- "$imp"; then
    echo "import not in the allowed list: $imp"; bad=1
  fi
done <<< "$imports"
count=$(grep -c . <<< "$imports")
echo "exports: $exports"
echo "imports: $count functions from $(cut -d! -f1 <<< "$imports" | sort -u | tr '\n' ' ')"
exit $bad
