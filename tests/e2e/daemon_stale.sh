# A request the app stopped refreshing unblocks within the timer's reach, logged once;
# a request replaced by a symbolic link is not trusted: the hosts file stays as it is,
# logged once, not on every tick; a request folder made anew is watched again.
source "$(dirname "${BASH_SOURCE[0]}")/daemon_lib.sh"

write_request stale.example
start_daemon
wait_for 5 hosts_has 127.0.0.2 stale.example || fail "not blocked"

touch -d "@$(($(date +%s) - 301))" "$request"
wait_for 4 no_section || fail "stale request not unblocked within 4 s"
sleep 6.5  # two more ticks
[ "$(log_count 'the app has been silent for 300 s, unblocking')" = 1 ] || fail "silent line not once"

write_request linked.example
wait_for 4 hosts_has 127.0.0.2 linked.example || fail "fresh request not applied"
before=$(md5sum </etc/hosts)
printf 'evil.example\n' >"$work/other"
chown "$user" "$work/other"
ln -sf "$work/other" "$request.link"
mv -fT "$request.link" "$request"
sleep 7  # the watch fires, then two ticks
[ "$(md5sum </etc/hosts)" = "$before" ] || fail "hosts changed for an untrusted request"
[ "$(log_count "request file not trusted, left /etc/hosts as it is: $request")" = 1 ] ||
    fail "untrusted line not logged exactly once"
# The request folder deleted and made again: the watch goes with the folder, the timer
# arms it on the new one, and changes show at once again.
rm -rf "$(dirname "$request")"
wait_for 4 no_section || fail "section kept after the request folder went"
write_request back.example
wait_for 4 hosts_has 127.0.0.2 back.example || fail "new folder's request not applied"
sleep 0.2
start=$(now_ms)
write_request back.example again.example
wait_for 3 hosts_has 127.0.0.2 again.example || fail "rewrite in the new folder not applied"
took=$(($(now_ms) - start))
[ "$took" -lt 500 ] || fail "watch not re-armed: rewrite took $took ms"
echo "daemon_stale: ok"
