#!/usr/bin/env bash
# The tarrow program's start as a user meets it: the modes that print and exit, where
# the state folder goes, and a state folder that cannot be made. Needs no root.
source "$(dirname "$0")/../support/lib.sh"
work_folder e2e-start
app_home
never="$work/never"

# --version, --selftest and --help run before the state folder exists, and create none;
# --help also beside a mode that would start.
version=$(TARROW_HOME=$never "$bin/tarrow" --verbose --version)
check "--version prints the name and version" matches "$version" '^Tarrow [0-9A-Za-z.]+$'
status=0
TARROW_HOME=$never "$bin/tarrow" --selftest >"$work/selftest.out" || status=$?
check "--selftest passes" [ "$status" = 0 ]
check "--selftest ends with all passed" [ "$(tail -n 1 "$work/selftest.out")" = "all passed" ]
check "--selftest prints one ok line per check" [ "$(grep -vc '^ok    ' "$work/selftest.out")" = 1 ]
status=0
TARROW_HOME=$never "$bin/tarrow" --page-test --help >"$work/help.out" 2>&1 || status=$?
check "--help exits 0" [ "$status" = 0 ]
for mode in --version --selftest --icons --render --suggest --page-test --menu; do
  check "--help names $mode" grep -q -e "$mode" "$work/help.out"
done
check "none of these modes made the state folder" [ ! -e "$never" ]

# TARROW_HOME set but empty: the default folder under the home folder.
default="$HOME/.local/share/Tarrow"
TARROW_HOME= start_app
check "an empty TARROW_HOME means the default folder" wait_for 10 test -s "$default/state"
check "the log is kept there" grep -q "started, state in $default" "$default/tarrow.log"
quit_app
check "SIGTERM exits 0" [ "$status" = 0 ]
check "SIGTERM left the request empty" [ ! -s "$default/request/blocked-hosts" ]

# A state folder that cannot be created: the app runs on and says why on every tick.
echo "a file, not a folder" >"$work/file"
TARROW_HOME="$work/file/home" start_app
not_written() { [ "$(lines_with "$work/app.err" 'cannot write the request: ')" -ge 2 ]; }
check "the app keeps running without its state folder" wait_for 12 not_written
check "the reason is given" grep -q 'cannot write the request: .*Not a directory' "$work/app.err"
check "it still runs" kill -0 "$app"
quit_app
check "and ends with 0" [ "$status" = 0 ]
finish
