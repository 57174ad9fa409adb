#!/usr/bin/env bash
# A private CUPS server for the printing tests, on its own configuration folder and socket,
# with two queues that print into nothing: NorvalePDF (the server's default; takes jobs) and
# NorvaleRejects (refuses every job, with a reason). The machine's own CUPS server, its queues
# and its default printer are never touched: only programs given CUPS_SERVER=FOLDER/cups.sock
# see this server. The tests start and stop it themselves (a CTest fixture).
#
#   print-server.sh start FOLDER   (re)starts the server; prints the value for CUPS_SERVER
#   print-server.sh stop FOLDER    stops it
set -euo pipefail

if [ $# -ne 2 ] || { [ "$1" != start ] && [ "$1" != stop ]; }; then
  echo "usage: $0 start|stop FOLDER" >&2
  exit 2
fi
folder="$(realpath -m "$2")"
socket="$folder/cups.sock"
pidfile="$folder/state/cupsd.pid"
if [ ${#socket} -gt 100 ]; then
  echo "$0: $socket is too long a path for a socket (at most 100 characters)" >&2
  exit 1
fi

stop_server() {
  [ -f "$pidfile" ] || return 0
  local pid
  pid="$(cat "$pidfile")"
  # Only the server of this folder: its command line names this folder's configuration.
  if tr '\0' ' ' < "/proc/$pid/cmdline" 2> /dev/null | grep -qF -- "$folder/cupsd"; then
    kill "$pid"
    timeout 20 tail --pid="$pid" -f /dev/null || true
  fi
  rm -f "$pidfile"
}

stop_server
if [ "$1" = stop ]; then
  exit 0
fi

rm -rf "$folder"
mkdir -p "$folder"/{spool,cache,state,log}
cat > "$folder/cups-files.conf" << CONF
ServerRoot $folder
RequestRoot $folder/spool
TempDir $folder/spool
CacheDir $folder/cache
StateDir $folder/state
AccessLog $folder/log/access_log
ErrorLog $folder/log/error_log
PageLog $folder/log/page_log
Printcap $folder/printcap
ServerBin /usr/lib/cups
DataDir /usr/share/cups
FileDevice Yes
CONF
cat > "$folder/cupsd.conf" << CONF
Listen $socket
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
LogLevel warn
PreserveJobHistory Yes
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF

# Run from a copy of its own: a confinement profile written for the system's server (AppArmor
# attaches by the program's path) would refuse this folder's configuration. Without -f, cupsd
# returns once the server is ready to answer: no waiting loop.
cp /usr/sbin/cupsd "$folder/cupsd"
"$folder/cupsd" -c "$folder/cupsd.conf" -s "$folder/cups-files.conf"

export CUPS_SERVER="$socket"
# Raw queues are all the tests need (the jobs are counted, not rendered); CUPS warns that they
# are deprecated.
lpadmin -p NorvalePDF -E -v file:///dev/null -m raw 2> /dev/null
lpadmin -d NorvalePDF
lpadmin -p NorvaleRejects -E -v file:///dev/null -m raw 2> /dev/null
cupsreject -r "Out of paper: the test queue takes no jobs" NorvaleRejects
echo "$socket"
