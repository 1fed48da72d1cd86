# A request the app stopped refreshing unblocks within the timer's reach, logged once;
# a request replaced by a symbolic link is not trusted: the hosts file stays as it is,
# logged once, not on every tick; a request folder made anew is watched again.
source "$(dirname "$0")/../support/lib.sh"
daemon_setup

write_request stale.example
start_daemon
wait_for 5 hosts_has 127.0.0.2 stale.example || fail "not blocked"

touch -d "@$(($(date +%s) - 301))" "$request"
check "a stale request unblocks within 4 s" wait_for 4 no_section
sleep 6.5 # two more ticks
check "the silent line is logged once" \
  [ "$(lines_with "$helper_log" 'the app has been silent for 300 s, unblocking')" = 1 ]

write_request linked.example
wait_for 4 hosts_has 127.0.0.2 linked.example || fail "fresh request not applied"
before=$(md5sum </etc/hosts)
printf 'evil.example\n' >"$work/other"
chown "$request_owner" "$work/other"
ln -sf "$work/other" "$request.link"
mv -fT "$request.link" "$request"
sleep 7 # the watch fires, then two ticks
check "a linked request leaves the hosts file as it is" [ "$(md5sum </etc/hosts)" = "$before" ]
check "the untrusted line is logged once" [ "$(lines_with "$helper_log" \
  "request file not trusted, left /etc/hosts as it is: $request")" = 1 ]

# The request folder deleted and made again: the watch goes with the folder, the timer
# arms it on the new one, and changes show at once again.
rm -rf "${request%/*}"
check "the section goes with the request folder" wait_for 4 no_section
write_request back.example
wait_for 4 hosts_has 127.0.0.2 back.example || fail "new folder's request not applied"
sleep 0.2
start=$(now_ms)
write_request back.example again.example
wait_for 3 hosts_has 127.0.0.2 again.example || fail "rewrite in the new folder not applied"
took=$(($(now_ms) - start))
check "the new folder is watched: a rewrite within 500 ms ($took ms)" [ "$took" -lt 500 ]
finish
