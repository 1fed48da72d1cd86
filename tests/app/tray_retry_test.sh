#!/usr/bin/env bash
# The tray item shows itself once a tray appears after the app has started: the app runs
# on a virtual X display without any tray, then a stand-in tray host takes the tray
# selection and must receive the item's dock request.
source "$(dirname "$0")/../support/lib.sh"
host="${1:?usage: tray_retry_test.sh <fake_tray_host>}"
work_folder tray-retry
app_home
start_xvfb

start_app
sleep 3
kill -0 "$app" || fail "the app does not run without a tray"
check "the item docks once a tray appears" "$host" 25
finish
