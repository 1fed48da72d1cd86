#!/usr/bin/env bash
# A tray host that drops the first dock requests, as a tray still starting up may, gets
# the icon all the same: a stand-in tray host on a virtual X display takes the tray
# selection after the app has started. (A tray that simply starts later is
# tray_icon_test.sh's.)
source "$(dirname "$0")/../support/lib.sh"
host="${1:?usage: tray_retry_test.sh <fake_tray_host>}"
work_folder tray-retry
app_home
start_xvfb

TARROW_HOME="$work/dropping" start_app
sleep 1
check "a tray that drops two dock requests gets the icon, which then stays" "$host" 10 2
check "and the app says so in its log" grep -qF "the tray does not show the icon; asking it again" \
  "$work/dropping/tarrow.log"
finish
