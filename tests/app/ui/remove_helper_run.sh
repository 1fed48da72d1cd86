#!/usr/bin/env bash
# "Remove Helper…" in the General tab, for real, inside throw-away namespaces (netns.sh):
# a helper is installed at its system path (a tmpfs over /usr/local, inside the namespace
# only) with its unit and a blocking section in the scratch /etc; pkexec and systemctl
# are stand-ins, as in the install tests. The click runs the app's real removal script;
# afterwards the files and the section are gone and the tick finds the helper missing.
source "$(dirname "$0")/../../support/lib.sh"
tool="${1:?usage: remove_helper_run.sh <remove_helper_tool>}"
in_namespace "$@"
private_usr_local
app_home
stand_in_admin_tools
show_on_failure "$work/tool.err"

request="$work/req/blocked-hosts"
install_helper "$bin/tarrow-helper"
write_request example.com
"$installed_helper" --apply "$request" --uid 0 --hosts /etc/hosts --no-flush
has_section || fail "no blocking section before the removal"

digest=$(sha256sum <"$installed_helper" | cut -d' ' -f1)
out=$("$tool" "$TARROW_HOME" "$work/bin/pkexec" "$digest" 2>"$work/tool.err") || true
echo "$out"
said() { grep -qxF -- "$1" <<<"$out"; }
check "the General tab offers the removal" said "button: Remove Helper…"
check "the removal is logged" said "log: helper removed"
check "the tick after it finds no helper" said "after: missing"
check "helper deleted" [ ! -e "$installed_helper" ]
check "unit deleted" [ ! -e "$helper_unit" ]
check "section gone from /etc/hosts" not grep -q -e '^# >>> Tarrow' -e example.com /etc/hosts
check "service stopped and checked, then systemd reloaded" [ "$(systemctl_calls)" = \
  "disable --now de.brightloom.tarrow.helper.service
is-active de.brightloom.tarrow.helper.service
daemon-reload" ]
finish
