#!/bin/bash
# A private CUPS server whose default queue, a cups-pdf printer, writes what
# the program prints as a PDF file into a private folder. Two more queues
# for the print tests: a cups-pdf printer whose paper is Letter, and a
# printer whose backend, our own, fails every job. It leaves the system's own
# printers and settings alone.
#
#   eval "$(tools/start_cups.sh)"      start it, or find it running
#   tools/start_cups.sh stop           stop it
#
# Prints CUPS_SERVER (the server's private socket), TATEYOKO_PDF_DIR
# (where the PDF files arrive), TATEYOKO_LETTER_QUEUE and
# TATEYOKO_FAILING_QUEUE. TATEYOKO_CUPS_DIR chooses where the server
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
letter_queue=tateyoko_letter
failing_queue=tateyoko_fail
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

# The server's programs are the system's, but its backends folder is its
# own, so that the failing backend is known to this server alone.
write_serverbin() {
    rm -rf "$dir/bin"
    mkdir -p "$dir/bin/backend"
    chmod 755 "$dir/bin" "$dir/bin/backend"
    for sub in /usr/lib/cups/*; do
        [[ $(basename "$sub") == backend ]] || ln -s "$sub" "$dir/bin/$(basename "$sub")"
    done
    for b in /usr/lib/cups/backend/*; do ln -s "$b" "$dir/bin/backend/$(basename "$b")"; done
    cat >"$dir/bin/backend/tateyoko-fail" <<'SH'
#!/bin/sh
# A printer that fails every job, as a jammed or unplugged one does.
if [ $# -eq 0 ]; then
    echo 'direct tateyoko-fail "Unknown" "Failing test printer"'
    exit 0
fi
# Some time at work first: the job fails while it is being followed.
sleep 1
echo "ERROR: tateyoko test printer: out of order" >&2
exit 1
SH
    chmod 755 "$dir/bin/backend/tateyoko-fail"
}

write_config() {
    mkdir -p "$dir"/{etc,etc-cups-pdf,spool,tmp,cache,state,log,pdf-spool} "$out"
    write_serverbin
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
ServerBin $dir/bin
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
    # Letter by default, and like most printers it cannot print the
    # outermost quarter inch of the sheet.
    sed -e 's|^\*DefaultPageSize: .*|*DefaultPageSize: Letter|' \
        -e 's|^\*ImageableArea Letter/\(.*\): .*|*ImageableArea Letter/\1: "18 18 594 774"|' \
        "$ppd" >"$dir/letter.ppd"
    lpadmin -h "$socket" -p "$letter_queue" -E -v "cups-pdf:/$instance" -P "$dir/letter.ppd" \
        || fail "could not add the Letter queue; see $dir/log/error_log"
    # A failed job is given up, not retried with the queue stopped.
    lpadmin -h "$socket" -p "$failing_queue" -E -v "tateyoko-fail:/" -o printer-error-policy=abort-job \
        2>/dev/null || fail "could not add the failing queue; see $dir/log/error_log"
fi

echo "export CUPS_SERVER=$socket"
echo "export TATEYOKO_PDF_DIR=$out"
echo "export TATEYOKO_LETTER_QUEUE=$letter_queue TATEYOKO_FAILING_QUEUE=$failing_queue"
# These would choose another printer than the server's default.
echo "unset PRINTER LPDEST"
