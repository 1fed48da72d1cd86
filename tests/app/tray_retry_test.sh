#!/usr/bin/env bash
# The tray item shows itself once a tray appears after the app has started: the app runs
# on a virtual X display without any tray, then a stand-in tray host takes the tray
# selection and must receive the item's dock request. A tray host that drops the first
# dock requests, as a tray still starting up may, gets the icon all the same.
source "$(dirname "$0")/../support/lib.sh"
host="${1:?usage: tray_retry_test.sh <fake_tray_host>}"
work_folder tray-retry
app_home
start_xvfb

start_app
sleep 3
kill -0 "$app" || fail "the app does not run without a tray"
check "the item docks once a tray appears" "$host" 25
stop "$app"

TARROW_HOME="$work/dropping" start_app
sleep 1
check "a tray that drops two dock requests gets the icon, which then stays" "$host" 10 2
check "and the app says so in its log" grep -qF "the tray does not show the icon; asking it again" \
  "$work/dropping/tarrow.log"
finish
