#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Shared helper: installs the Debian packages whose command or file is missing (CI may start on a bare machine).
#
# Source it, then: ensure_packages COMMAND_OR_PATH=PACKAGE...

ensure_packages() {
  local missing=()
  local pair probe package
  for pair in "$@"; do
    probe=${pair%%=*}
    package=${pair#*=}
    if [[ $probe == /* ]]; then
      [[ -e $probe ]] || missing+=("$package")
    else
      command -v "$probe" >/dev/null 2>&1 || missing+=("$package")
    fi
  done
  ((${#missing[@]})) || return 0
  echo "=== installing ${missing[*]}"
  local sudo=()
  ((EUID == 0)) || sudo=(sudo)
  # A stale or empty package list makes the install fail, so refresh it first.
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
}
