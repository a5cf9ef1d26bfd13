#!/usr/bin/env bash
# Descriptions in any language made by tonalis make: info and info --json
# print them whole in UTF-8, and the peers read them from the profile
# (LittleCMS the ASCII part, and the Unicode part where it keeps it;
# ArgyllCMS's iccdump the Unicode part). dispwin's loading of such a profile
# is in peer_loaders.sh.
# Usage: description_peers.sh BUILD_DIR RESULTS_DIR
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tool="$1/native/tonalis"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
[[ -x $tool ]] || { echo "FAIL: the native tool is built ($tool)"; exit 1; }

# made NAME DESCRIPTION ASCII: the profile NAME.icc, its description as info
# prints it, and as the peers read it.
made() {
    local profile="$work/$1.icc" shown json
    "$tool" make -o "$profile" --description "$2" >/dev/null || { echo "FAIL: make $1"; return 1; }
    shown=$("$tool" info "$profile" | sed -n 's/^description     //p')
    json=$("$tool" info "$profile" --json |
        python3 -c 'import json, sys; print(json.load(sys.stdin)["description"])')
    [[ $shown == "$2" && $json == "$2" ]] ||
        { echo "FAIL: $1: info shows '$shown', --json '$json'"; return 1; }
    echo "ok   $1: info and info --json show '$2'"
    python3 "$here/lib/description_peers.py" "$profile" "$2" "$3"
}

made chinese "校准 Office 显示器 😀" "Office" || status=1
made only-chinese "我的显示器" "only-chinese" || status=1
made plain "Plain ASCII" "Plain ASCII" || status=1
exit $status
