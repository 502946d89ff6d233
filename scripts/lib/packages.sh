# Installs the Debian packages given as arguments that are not installed yet (through sudo when
# not root). Sourced by the scripts in scripts/.
#
# It never removes a package. apt is asked first what it would do; when its plan removes an
# installed package (for example JACK 1's development files pushing out the JACK 2 server of a
# studio machine), nothing is installed and the caller stops with a message naming the packages
# and what conflicts with them. The real install runs with --no-remove as well.
#
# Callers that need librtmidi-dev name libjack-jackd2-dev too: RtMidi's development package depends
# on "libjack-dev | libjack-jackd2-dev", and left to itself apt picks JACK 1's libjack-dev, which
# conflicts with the JACK 2 library that jackd2 needs. BUILD_PACKAGES does.

# What building TavikRemote, TavikLogo and tavik-sim takes.
# shellcheck disable=SC2034 # for the scripts that source this file
BUILD_PACKAGES=(build-essential cmake pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev librtmidi-dev
                libcli11-dev libjack-jackd2-dev)

# A package's relation field (Conflicts, Breaks, Depends, Provides) as package names, one a line:
# of the installed version when $3 is "installed", else of the candidate apt would install.
relation_names() {
    local pkg=$1 field=$2 text
    if [ "${3:-}" = installed ]; then
        text=$(dpkg-query -W -f="\${$field}" "$pkg" 2>/dev/null)
    else
        text=$(apt-cache show --no-all-versions "$pkg" 2>/dev/null | sed -n "s/^$field: //p")
    fi
    tr ',|' '\n\n' <<<"$text" | sed 's/(.*//; s/:any//; s/[[:space:]]//g' | grep -v '^$' || true
}

# Says why apt would remove the installed package $1 under the plan $2 (apt-get -s output): a
# package of the plan that conflicts with or breaks it (or the other way round, also through the
# names they provide), or a removed package it depends on.
explain_removal() {
    local removed=$1 plan=$2 new other
    local removed_names new_names
    removed_names=$(printf '%s\n' "$removed"; relation_names "$removed" Provides installed)
    for new in $(sed -n 's/^Inst \([^ ]*\).*/\1/p' <<<"$plan"); do
        new_names=$(printf '%s\n' "$new"; relation_names "$new" Provides)
        if { relation_names "$new" Conflicts; relation_names "$new" Breaks; } | grep -qxFf <(echo "$removed_names") ||
            { relation_names "$removed" Conflicts installed; relation_names "$removed" Breaks installed; } |
            grep -qxFf <(echo "$new_names"); then
            echo "    $removed conflicts with $new, which would be installed"
            return 0
        fi
    done
    for other in $(sed -n 's/^Remv \([^ ]*\).*/\1/p' <<<"$plan"); do
        if relation_names "$removed" Depends installed | grep -qxF "$other"; then
            echo "    $removed depends on $other, which would be removed"
            return 0
        fi
    done
    echo "    $removed: apt gives no single reason (see apt-get install -s ${*:3})"
}

install_missing_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update

    local plan removals
    if ! plan=$(LC_ALL=C apt-get install -s --no-install-recommends "${missing[@]}" 2>&1); then
        echo "$plan" >&2
        echo "error: apt cannot install ${missing[*]} (see above); nothing was installed." >&2
        return 1
    fi
    removals=$(sed -n 's/^Remv \([^ ]*\).*/\1/p' <<<"$plan" | tr '\n' ' ')
    if [ -n "$removals" ]; then
        {
            echo "error: installing ${missing[*]} would remove these installed packages: ${removals% }"
            for p in $removals; do explain_removal "$p" "$plan" "${missing[@]}"; done
            echo "Nothing was installed and nothing was removed. Install the missing packages by hand"
            echo "in a way that keeps what this machine needs, then run this command again."
        } >&2
        return 1
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends --no-remove \
        "${missing[@]}"
}
