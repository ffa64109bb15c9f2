#!/bin/bash
# A private CUPS server whose one queue, a cups-pdf printer, is the default:
# what the program prints arrives as a PDF file in a private folder. For the
# print test; it leaves the system's own printers and settings alone.
#
#   eval "$(tools/start_cups.sh)"      start it, or find it running
#   tools/start_cups.sh stop           stop it
#
# Prints CUPS_SERVER (the server's private socket) and TATEYOKO_PDF_DIR
# (where the PDF files arrive). TATEYOKO_CUPS_DIR chooses where the server
# keeps its files; the default is one folder per user and source tree, so
# two trees on one machine do not share a server.
#
# cups-pdf reads its settings from /etc/cups only. As root the server runs
# in a private mount namespace in which /etc/cups is a private folder that
# holds the queue's cups-pdf settings; without namespaces, and with
# /etc/cups writable, a settings file for this one queue is put there and
# removed on stop. The backend runs only as root: without root the server
# does not start, and this says why.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
tree=$(printf '%s' "$root" | cksum | cut -d' ' -f1)
dir=${TATEYOKO_CUPS_DIR:-/tmp/tateyoko-cups-$(id -u)-$tree}
socket=$dir/cups.sock
queue=tateyoko_pdf
instance=tateyoko$tree
out=$dir/pdf
backend=/usr/lib/cups/backend/cups-pdf
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

fail() { echo "start_cups.sh: $*" >&2; exit 1; }
running() { lpstat -h "$socket" -r 2>/dev/null | grep -q "is running"; }

if [[ ${1:-} == stop ]]; then
    if [[ -f $dir/cupsd.pid ]]; then
        pid=$(cat "$dir/cupsd.pid")
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        rm -f "$dir/cupsd.pid"
    fi
    if [[ -f $dir/shared-conf ]]; then rm -f "$(cat "$dir/shared-conf")" "$dir/shared-conf"; fi
    running && fail "the server at $socket did not stop"
    exit 0
fi

write_config() {
    mkdir -p "$dir"/{etc,etc-cups-pdf,spool,tmp,cache,state,log,pdf-spool} "$out"
    # Filters run as the server's user lp: they must reach the spool.
    chmod 755 "$dir" "$dir/spool" "$out"
    chmod 1777 "$dir/tmp" "$dir/pdf-spool"
    cat >"$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
SystemGroup root $(id -gn)
FileDevice No
CONF
    cat >"$dir/etc/cupsd.conf" <<CONF
LogLevel info
Listen $socket
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    cat >"$dir/etc-cups-pdf/cups-pdf-$instance.conf" <<CONF
Out $out
AnonDirName $out
Spool $dir/pdf-spool
Log $dir/log
LogType 3
Label 1
CONF
}

start_server() {
    local conf=(-f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf")
    if unshare -m true 2>/dev/null; then
        setsid unshare -m sh -c 'mount --bind "$1" /etc/cups && shift && exec cupsd "$@"' \
            sh "$dir/etc-cups-pdf" "${conf[@]}" </dev/null >"$dir/log/cupsd.out" 2>&1 &
    elif [[ -w /etc/cups ]]; then
        cp "$dir/etc-cups-pdf/cups-pdf-$instance.conf" /etc/cups/
        echo "/etc/cups/cups-pdf-$instance.conf" >"$dir/shared-conf"
        setsid cupsd "${conf[@]}" </dev/null >"$dir/log/cupsd.out" 2>&1 &
    else
        fail "cannot give cups-pdf private settings: no mount namespace and /etc/cups is not writable"
    fi
    echo $! >"$dir/cupsd.pid"
    for _ in $(seq 100); do running && return 0; sleep 0.1; done
    fail "no answer from $socket; see $dir/log/error_log and $dir/log/cupsd.out"
}

if ! running; then
    command -v cupsd >/dev/null || fail "cupsd is not installed (package cups)"
    command -v lpadmin >/dev/null || fail "lpadmin is not installed (package cups-client)"
    [[ -f $ppd ]] || fail "cups-pdf is not installed (package printer-driver-cups-pdf)"
    [[ -x $backend ]] || fail "the cups-pdf backend runs only as root; run as root"
    rm -f "$socket"
    write_config
    start_server
    lpadmin -h "$socket" -p "$queue" -E -v "cups-pdf:/$instance" -P "$ppd" \
        || fail "could not add the queue; see $dir/log/error_log"
    lpadmin -h "$socket" -d "$queue" || fail "could not make $queue the default"
fi

echo "export CUPS_SERVER=$socket"
echo "export TATEYOKO_PDF_DIR=$out"
# These would choose another printer than the server's default.
echo "unset PRINTER LPDEST"
