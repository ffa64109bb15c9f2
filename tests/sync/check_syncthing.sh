#!/bin/bash
# Three Syncthing instances from tools/start_syncthing.sh keep one class
# folder in step: a child's file written in the first folder, and then
# replaced in the second by a rename, as the program saves, reaches the
# others unchanged, and every instance then reports its folder idle and
# every other device complete, all within a minute of the start.
#   check_syncthing.sh SOURCE_DIR
set -euo pipefail
src=$1
dir=$(mktemp -d)
trap '"$src/tools/start_syncthing.sh" stop "$dir/sync"; rm -rf "$dir"' EXIT

# Gone in five minutes even if this script is killed before its trap runs.
export TATEYOKO_SYNC_LIFETIME=300
ms_since() { echo $((($(date +%s%N) - $1) / 1000000)); }
started=$(date +%s%N)
eval "$("$src/tools/start_syncthing.sh" "$dir/sync" 3)"
read -ra folders <<<"$TATEYOKO_SYNC_FOLDERS"
read -ra guis <<<"$TATEYOKO_SYNC_GUIS"
echo "3 instances connected and idle in $(ms_since "$started") ms"
# Well within ctest's timeout: the trap must get to stop them.
deadline=$((SECONDS + 60))

rest() {  # rest INSTANCE PATH
    curl -fsS --max-time 5 -H "X-API-Key: $TATEYOKO_SYNC_APIKEY" "http://${guis[$1]}/rest/$2"
}

# Every folder but the writer's holds the writer's file, byte for byte.
everywhere() {  # everywhere FROM RELATIVE_PATH
    local i
    for i in "${!folders[@]}"; do
        [[ $i == "$1" ]] || cmp -s "${folders[$1]}/$2" "${folders[$i]}/$2" || return 1
    done
}
arrives() {  # arrives FROM RELATIVE_PATH
    local t0
    t0=$(date +%s%N)
    until everywhere "$@"; do
        ((SECONDS < deadline)) && sleep 0.1 && continue
        echo "$2 from folder $(($1 + 1)) did not reach every folder in time:" >&2
        ls -laR "$dir/sync"/*/class >&2
        return 1
    done
    echo "$2 from folder $(($1 + 1)) in every folder after $(ms_since "$t0") ms"
}

child="あおい"
mkdir "${folders[0]}/$child"
printf '[TESTDATA]\r\nRECCHECKARRAY=%s\r\n' "$(printf '1%.0s' $(seq 56))" >"${folders[0]}/$child/tateyokoM15.ini"
arrives 0 "$child/tateyokoM15.ini"

# Replaced in one step on another computer, as every save does.
printf '[TESTDATA]\r\nRECCHECKARRAY=%s\r\n' "$(printf '01%.0s' $(seq 28))" >"${folders[1]}/$child/.new"
mv "${folders[1]}/$child/.new" "${folders[1]}/$child/tateyokoM15.ini"
arrives 1 "$child/tateyokoM15.ini"

# What each instance says of itself and of the others once the files agree.
in_step() {
    local i=$1 other status
    status=$(rest "$i" "db/status?folder=$TATEYOKO_SYNC_FOLDER_ID") || return 1
    [[ $(jq -r '"\(.state) \(.needTotalItems) \(.errors)"' <<<"$status") == "idle 0 0" ]] || return 1
    for other in $(rest "$i" system/connections | jq -r '.connections | keys[]'); do
        [[ $(rest "$i" "db/completion?folder=$TATEYOKO_SYNC_FOLDER_ID&device=$other" | jq .completion) == 100 ]] ||
            return 1
    done
}
for i in "${!guis[@]}"; do
    until in_step "$i"; do
        ((SECONDS < deadline)) && sleep 0.2 && continue
        echo "instance $((i + 1)) does not report its folder idle and the others complete:" >&2
        rest "$i" "db/status?folder=$TATEYOKO_SYNC_FOLDER_ID" >&2
        exit 1
    done
done
echo "every instance reports the folder idle, nothing needed, every other device at 100 %"
