#!/usr/bin/env bash
# Descriptions in any language made by tonalis make: info and info --json
# print them whole in UTF-8, and the peers read them (description_peers.py).
# dispwin loads such a profile in peer_loaders.sh.
# Usage: description_peers.sh BUILD_DIR RESULTS_DIR
set -uo pipefail
tool="$1/native/tonalis" work=$(mktemp -d) status=0
trap 'rm -rf "$work"' EXIT

# made NAME DESCRIPTION ASCII: NAME.icc made with DESCRIPTION, whose ASCII part is ASCII.
made() {
    "$tool" make -o "$work/$1.icc" --description "$2" >/dev/null &&
        [[ $("$tool" info "$work/$1.icc" | sed -n 's/^description     //p') == "$2" ]] &&
        [[ $("$tool" info "$work/$1.icc" --json | python3 -c \
            'import json, sys; print(json.load(sys.stdin)["description"])') == "$2" ]] ||
        { echo "FAIL: $1: made and shown by info and info --json"; return 1; }
    echo "ok   $1: made and shown by info and info --json"
    python3 "$(dirname "${BASH_SOURCE[0]}")/lib/description_peers.py" "$work/$1.icc" "$2" "$3"
}

made chinese "校准 Office 显示器 😀" "Office" || status=1
made only-chinese "我的显示器" "only-chinese" || status=1
made plain "Plain ASCII" "Plain ASCII" || status=1
exit $status
