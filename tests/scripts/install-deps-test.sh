#!/usr/bin/env bash
# scripts/install-deps.sh without apt: which package states count as installed, and the bounded
# wait for a package manager that another process holds (a lock of our own stands in for it).
# Usage: install-deps-test.sh PATH/TO/install-deps.sh
# The variables set here are read by the functions of the script under test, and dpkg-query is
# called by them.
# shellcheck disable=SC2034,SC2317
set -uo pipefail
# Sourced, the script must only define its functions, not install anything and exit.
trap 'echo "FAIL: $1 ran instead of only defining its functions" >&2; exit 1' EXIT
# shellcheck source=/dev/null
source "$1"
trap - EXIT
work="$(mktemp -d)"
holders=()
trap 'kill "${holders[@]}" 2> /dev/null || true; rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# dpkg-query as it answers for each state; a package it does not know fails.
declare -A states=(
    [configured]="install ok installed"
    [triggers]="install ok triggers-pending"
    [awaiting]="install ok triggers-awaited"
    [held]="hold ok installed"
    [unpacked]="install ok unpacked"
    [half]="install reinstreq half-installed"
    [removed]="deinstall ok config-files"
)
dpkg-query() {
    local package="${!#}"
    [ -n "${states[$package]:-}" ] || return 1
    printf '%s' "${states[$package]}"
}
packages=(configured triggers awaiting held unpacked half removed unknown)
[ "$(missing_packages | tr '\n' ' ')" = "unpacked half removed unknown " ] ||
    fail "missing packages: $(missing_packages | tr '\n' ' ')"

# Runs the wait in the background, its messages in a file; waits for a line to appear there.
start_wait() {
    wait_for_package_manager 2> "$work/said" &
    waiter=$!
}
wait_until_said() {
    local deadline=$((SECONDS + 30))
    until grep -q "$1" "$work/said"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

lock_files=("$work/no-such-lock" "$work/lock")
touch "$work/lock"
lock_wait_seconds=1
wait_for_package_manager 2> "$work/said" || fail "a free package manager was waited for"
[ -s "$work/said" ] && fail "a free package manager was reported: $(cat "$work/said")"

# Held until the fifo is written to.
mkfifo "$work/release"
flock "$work/lock" cat "$work/release" > /dev/null &
holders+=($!)
until [ -n "$(lock_holder)" ]; do sleep 0.1; done
[[ "$(lock_holder)" == "${holders[0]} (flock)" ]] || fail "holder: '$(lock_holder)'"

# A holder that stays past the bound fails the wait, saying who holds it.
start_wait
if wait "$waiter"; then fail "the wait ended while the lock was held"; fi
grep -q "^Waiting up to 1 s for the package manager, in use by process ${holders[0]} (flock)" \
    "$work/said" || fail "no waiting message: $(cat "$work/said")"
grep -q "still in use by process ${holders[0]} (flock) after 1 s" "$work/said" ||
    fail "no message at the bound: $(cat "$work/said")"

# One that lets go within the bound is waited for.
lock_wait_seconds=60
start_wait
wait_until_said "^Waiting up to 60 s" || fail "no waiting message: $(cat "$work/said")"
echo > "$work/release"
wait "$waiter" || fail "the wait failed after the lock was let go: $(cat "$work/said")"
grep -q "^The package manager is free after" "$work/said" || fail "no end: $(cat "$work/said")"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "install-deps checks passed"
exit 0
