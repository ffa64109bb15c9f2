#!/bin/bash
# Syncthing instances on this machine alone that keep one class folder in
# step, as the classroom's computers and the teacher's do: each has a home
# and a folder of its own, they share one folder id, know each other by
# static addresses on 127.0.0.1, and reach nothing else (no discovery,
# relays, NAT, usage or crash reports, upgrades). A change is seen by the
# watcher at once and a rescan every few seconds, so it travels in seconds.
#
#   eval "$(tools/start_syncthing.sh DIR [N])"   start N (default 3) under DIR
#   tools/start_syncthing.sh stop DIR            stop them
#
# Returns once every instance is connected to every other and its folder
# is idle. Prints TATEYOKO_SYNC_FOLDERS (the N folder paths, in order),
# TATEYOKO_SYNC_GUIS (each REST address, in the same order),
# TATEYOKO_SYNC_APIKEY, TATEYOKO_SYNC_FOLDER_ID and TATEYOKO_SYNC_PIDS, and
# as a comment how to stop them. Runs as root too: Syncthing only warns.
# TATEYOKO_SYNC_LIFETIME (seconds) ends them by then in any case, for a
# test that may be killed before it stops them.
set -euo pipefail

fail() { echo "start_syncthing.sh: $*" >&2; exit 1; }

folder_id=tateyoko-class
apikey=tateyoko-sync-test-key

# Only the processes whose pid files are under DIR, and only while they are
# still Syncthing run from DIR (a pid can be taken again). Each was started
# in a session of its own, whose group holds Syncthing's monitor process
# and the server it runs: the group goes.
stop_all() {
    local dir=$1 pidfile pid pids=""
    for pidfile in "$dir"/*/pid; do
        [[ -f $pidfile ]] || continue
        pid=$(cat "$pidfile")
        if tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline" | grep -qF -- "--home=$dir/"; then
            kill -- "-$pid" 2>/dev/null || true
            pids="$pids $pid"
        fi
        rm -f "$pidfile"
    done
    # Up to five seconds for all of them together; a process that has ended
    # but waits to be reaped by init counts as gone.
    for _ in $(seq 50); do
        local alive=""
        for pid in $pids; do
            ps -o stat= -s "$pid" 2>/dev/null | grep -qv '^Z' && alive="$alive $pid"
        done
        pids=$alive
        [[ -z $pids ]] && break
        sleep 0.1
    done
    for pid in $pids; do kill -KILL -- "-$pid" 2>/dev/null || true; done
}

if [[ ${1:-} == stop ]]; then
    [[ -n ${2:-} ]] || fail "usage: start_syncthing.sh stop DIR"
    stop_all "$(cd "$2" && pwd)"
    exit 0
fi

[[ -n ${1:-} ]] || fail "usage: start_syncthing.sh DIR [N]"
command -v syncthing >/dev/null || fail "syncthing is not installed (package syncthing)"
command -v curl >/dev/null && command -v jq >/dev/null || fail "curl and jq are needed"
mkdir -p "$1"
dir=$(cd "$1" && pwd)
count=${2:-3}
[[ -z $(ls -A "$dir") ]] || fail "$dir is not empty"

# A port that no socket uses, not handed out already, and below the ports
# the system hands out for outgoing connections: a listener there can find
# its port taken by one, and Syncthing then tries again only much later.
read -r first_outgoing _ </proc/sys/net/ipv4/ip_local_port_range || first_outgoing=32768
((first_outgoing > 12000)) || fail "no room below the outgoing ports ($first_outgoing)"
taken=" "
next_port() {  # sets port
    while :; do
        port=$((10000 + RANDOM % (first_outgoing - 10000)))
        [[ $taken == *" $port "* ]] && continue
        ss -Htan "sport = :$port" | grep -q . && continue
        taken="$taken$port "
        return
    done
}

declare -a ids guis listens
for i in $(seq "$count"); do
    mkdir -p "$dir/$i/class"
    syncthing generate --home="$dir/$i/home" --no-default-folder >"$dir/$i/generate.log" 2>&1 ||
        fail "syncthing generate failed: $(cat "$dir/$i/generate.log")"
    ids[$i]=$(syncthing serve --home="$dir/$i/home" --device-id)
    next_port
    guis[$i]=127.0.0.1:$port
    next_port
    listens[$i]=tcp://127.0.0.1:$port
done

write_config() {
    local i=$1 j
    {
        echo '<configuration version="36">'
        echo "    <folder id=\"$folder_id\" label=\"class\" path=\"$dir/$i/class\" type=\"sendreceive\"" \
            'rescanIntervalS="5" fsWatcherEnabled="true" fsWatcherDelayS="1" ignorePerms="false" autoNormalize="true">'
        for j in $(seq "$count"); do echo "        <device id=\"${ids[$j]}\"></device>"; done
        echo '        <markerName>.stfolder</markerName>'
        echo '    </folder>'
        for j in $(seq "$count"); do
            echo "    <device id=\"${ids[$j]}\" name=\"computer$j\" compression=\"metadata\" introducer=\"false\">"
            [[ $j == "$i" ]] && echo '        <address>dynamic</address>' ||
                echo "        <address>${listens[$j]}</address>"
            echo '        <autoAcceptFolders>false</autoAcceptFolders>'
            echo '    </device>'
        done
        cat <<XML
    <gui enabled="true" tls="false" debugging="false">
        <address>${guis[$i]}</address>
        <apikey>$apikey</apikey>
    </gui>
    <options>
        <listenAddress>${listens[$i]}</listenAddress>
        <globalAnnounceEnabled>false</globalAnnounceEnabled>
        <localAnnounceEnabled>false</localAnnounceEnabled>
        <relaysEnabled>false</relaysEnabled>
        <natEnabled>false</natEnabled>
        <reconnectionIntervalS>2</reconnectionIntervalS>
        <startBrowser>false</startBrowser>
        <urAccepted>-1</urAccepted>
        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
        <crashReportingEnabled>false</crashReportingEnabled>
        <announceLANAddresses>false</announceLANAddresses>
    </options>
</configuration>
XML
    } >"$dir/$i/home/config.xml"
}

rest() {  # rest GUI PATH
    curl -fsS --max-time 5 -H "X-API-Key: $apikey" "http://$1/rest/$2"
}

lifetime=""
[[ -z ${TATEYOKO_SYNC_LIFETIME:-} ]] || lifetime="timeout --kill-after=10 $TATEYOKO_SYNC_LIFETIME"
# Whatever was started goes again when the start fails.
trap '[[ $? == 0 ]] || stop_all "$dir"' EXIT
for i in $(seq "$count"); do
    write_config "$i"
    touch "$dir/$i/class/.stfolder"
    STNOUPGRADE=1 STNORESTART=1 setsid $lifetime syncthing serve --home="$dir/$i/home" --no-browser --no-restart \
        --no-upgrade --logflags=3 </dev/null >"$dir/$i/syncthing.log" 2>&1 &
    echo $! >"$dir/$i/pid"
done

# Each answers, is connected to all the others, and has scanned its folder.
ready() {
    local i=$1
    kill -0 "$(cat "$dir/$i/pid")" 2>/dev/null || fail "instance $i stopped: $(tail -n 20 "$dir/$i/syncthing.log")"
    [[ $(rest "${guis[$i]}" system/connections 2>/dev/null |
        jq '[.connections[] | select(.connected)] | length') == $((count - 1)) ]] &&
        [[ $(rest "${guis[$i]}" "db/status?folder=$folder_id" 2>/dev/null | jq -r .state) == idle ]]
}
deadline=$((SECONDS + 60))
for i in $(seq "$count"); do
    until ready "$i"; do
        ((SECONDS < deadline)) || fail "instance $i was not connected and idle within 60 s; see $dir/$i/syncthing.log"
        sleep 0.1
    done
done

folders="" gui_list="" pids=""
for i in $(seq "$count"); do
    folders="$folders $dir/$i/class" gui_list="$gui_list ${guis[$i]}" pids="$pids $(cat "$dir/$i/pid")"
done
echo "export TATEYOKO_SYNC_FOLDERS='${folders# }'"
echo "export TATEYOKO_SYNC_GUIS='${gui_list# }'"
echo "export TATEYOKO_SYNC_APIKEY=$apikey TATEYOKO_SYNC_FOLDER_ID=$folder_id"
echo "export TATEYOKO_SYNC_PIDS='${pids# }'"
echo "# stop them: $0 stop $dir"
