#!/usr/bin/env bash
# `tarrow --suggest` on real history databases under a temporary home folder: the exact
# listing, the log line for an unreadable history, databases left untouched. (Folders the
# user may not list are the C++ tests' part.)
source "$(dirname "$0")/../../support/lib.sh"
need sqlite3
work_folder suggest
app_home

now=$(date +%s)
chromium_time() { echo $(( (now - $1 * 86400 + 11644473600) * 1000000 )); }
firefox_time() { echo $(( (now - $1 * 86400) * 1000000 )); }
# visits <count> <value>: that many rows of one value, for INSERT ... SELECT
visits() { echo "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $1) SELECT $2 FROM n"; }

chrome="$HOME/.config/google-chrome/Default"
mkdir -p "$chrome"
sqlite3 "$chrome/History" <<SQL
CREATE TABLE urls(id INTEGER PRIMARY KEY AUTOINCREMENT,url LONGVARCHAR,title LONGVARCHAR,
  visit_count INTEGER DEFAULT 0 NOT NULL,typed_count INTEGER DEFAULT 0 NOT NULL,
  last_visit_time INTEGER NOT NULL,hidden INTEGER DEFAULT 0 NOT NULL);
CREATE TABLE visits(id INTEGER PRIMARY KEY AUTOINCREMENT,url INTEGER NOT NULL,
  visit_time INTEGER NOT NULL,from_visit INTEGER,transition INTEGER DEFAULT 0 NOT NULL,
  segment_id INTEGER,visit_duration INTEGER DEFAULT 0 NOT NULL);
CREATE INDEX visits_url_index ON visits (url);
CREATE INDEX visits_time_index ON visits (visit_time);
CREATE INDEX urls_url_index ON urls (url);
INSERT INTO urls(url, last_visit_time) VALUES ('https://www.youtube.com/watch?v=1', 0),
  ('https://www.example.com/', 0), ('https://news.example.org/', 0);
INSERT INTO visits(url, visit_time) $(visits 15 "1, $(chromium_time 1)");
INSERT INTO visits(url, visit_time) $(visits 4 "2, $(chromium_time 2)");
INSERT INTO visits(url, visit_time) $(visits 50 "2, $(chromium_time 40)");
INSERT INTO visits(url, visit_time) $(visits 30 "3, $(chromium_time 3)");
SQL

firefox="$HOME/snap/firefox/common/.mozilla/firefox/k3x.default"
mkdir -p "$firefox"
sqlite3 "$firefox/places.sqlite" > /dev/null <<SQL
PRAGMA journal_mode=WAL;
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,
  rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, guid TEXT);
CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER,
  place_id INTEGER, visit_date INTEGER, visit_type INTEGER, session INTEGER);
CREATE INDEX moz_historyvisits_placedateindex ON moz_historyvisits (place_id, visit_date);
CREATE INDEX moz_historyvisits_dateindex ON moz_historyvisits (visit_date);
INSERT INTO moz_places(id, url) VALUES (1, 'https://example.com/start');
INSERT INTO moz_historyvisits(place_id, visit_date) $(visits 6 "1, $(firefox_time 5)");
SQL
echo "these are not the tables you are looking for" \
  > "$(mkdir -p "$HOME/.config/BraveSoftware/Brave-Browser/Default" && echo "$_")/History"
find "$HOME" -type f -exec sha256sum {} + | sort > "$work/before"

status=0
TARROW_HOME="$work/state" "$bin/tarrow" --suggest >"$work/out" 2>"$work/err" || status=$?
check "--suggest exits 0" [ "$status" = 0 ]
expected=$'15     youtube.com\n10     example.com\n2 sites from 2 histories, locked: Brave'
check "--suggest prints the listing" [ "$(cat "$work/out")" = "$expected" ]
check "the unreadable history is logged" grep -q \
  "  history not readable: Brave: read: file is not a database (errno 0)$" "$work/state/tarrow.log"
find "$HOME" -type f -exec sha256sum {} + | sort >"$work/after"
check "the databases are left as they were, and no file is added" cmp -s "$work/before" "$work/after"

# The running app reloads on the command file's "suggest" and logs the result.
start_app
wait_for 20 test -e "$state" || fail "the app did not start"
echo suggest >"$TARROW_HOME/command"
check "the running app reloads suggestions on the command \"suggest\"" \
  wait_for 30 logged "  suggestions: 2 sites from 2 browser histories, locked: Brave"
check "the command is logged" logged "  command: suggest"
quit_app
finish
