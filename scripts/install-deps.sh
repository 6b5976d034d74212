#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, only those that are missing.
# Another apt run may hold the package manager (unattended upgrades do at first boot): the script
# waits for it, up to OCUVIS_LOCK_WAIT seconds (default 600), and says so.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    fonts-liberation
    libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev
    libgif-dev libwebp-dev libpng-dev libfontconfig-dev
    clang libclang-rt-14-dev clang-format
    python3
    # The install test: the validators, and what cpack needs to find the package's libraries.
    desktop-file-utils appstream shared-mime-info dpkg-dev file
    # The framed window tests: a private X server and a small window manager.
    xvfb openbox
    # The window bench: counting the frames that reach the X server.
    libxcb-damage0-dev
)

# The locks of dpkg and apt, as apt takes them.
lock_files=(/var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock
    /var/cache/apt/archives/lock)
lock_wait_seconds="${OCUVIS_LOCK_WAIT:-600}"

# Installed: unpacked and configured, or only waiting for triggers, which the next dpkg run
# processes; any other state (unpacked, half-installed, config-files) needs apt.
installed() {
    local status flag state
    status="$(dpkg-query -W -f='${Status}' "$1" 2> /dev/null)" || return 1
    # "WANT FLAG STATE", such as "install ok triggers-pending".
    read -r _ flag state <<< "$status"
    [ "$flag" = ok ] && [[ "$state" =~ ^(installed|triggers-pending|triggers-awaited)$ ]]
}

missing_packages() {
    local p
    for p in "${packages[@]}"; do
        installed "$p" || echo "$p"
    done
}

# "PID (NAME)" of a process holding one of the lock files, or nothing. Read from /proc/locks, whose
# lines name the holder and the file as "MAJOR:MINOR:INODE" of its file system (major and minor
# in hex); a line with "->" is a process waiting, not holding.
lock_holder() {
    local file device inode id pid
    for file in "${lock_files[@]}"; do
        [ -e "$file" ] || continue
        device="$(stat -c %d "$file")" inode="$(stat -c %i "$file")"
        id="$(printf '%02x:%02x:%s' $(((device >> 8) & 0xfff)) \
            $(((device & 0xff) | ((device >> 12) & 0xfff00))) "$inode")"
        pid="$(awk -v id="$id" '$2 != "->" && $6 == id { print $5; exit }' /proc/locks)"
        if [ -n "$pid" ]; then
            echo "$pid ($(cat "/proc/$pid/comm" 2> /dev/null || echo gone))"
            return
        fi
    done
}

# Returns once no other process holds the package manager, or fails after the bounded wait.
wait_for_package_manager() {
    local holder started now
    started="$(date +%s)"
    holder="$(lock_holder)"
    [ -z "$holder" ] && return 0
    echo "Waiting up to ${lock_wait_seconds} s for the package manager, in use by process" \
        "$holder..." >&2
    while [ -n "$holder" ]; do
        now="$(date +%s)"
        if [ $((now - started)) -ge "$lock_wait_seconds" ]; then
            echo "The package manager is still in use by process $holder after" \
                "${lock_wait_seconds} s; try again when it has finished." >&2
            return 1
        fi
        sleep 1
        holder="$(lock_holder)"
    done
    echo "The package manager is free after $(($(date +%s) - started)) s." >&2
}

main() {
    local missing
    mapfile -t missing < <(missing_packages)
    [ ${#missing[@]} -eq 0 ] && return 0

    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    # apt's own wait covers a lock taken between the check and the call.
    local apt=(apt-get -o "DPkg::Lock::Timeout=$lock_wait_seconds")
    if [ "$(id -u)" -ne 0 ]; then apt=(sudo "${apt[@]}"); fi
    wait_for_package_manager
    "${apt[@]}" update -qq
    wait_for_package_manager
    "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
}

# Sourced (by its test), it only defines the functions.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then main "$@"; fi
