#!/usr/bin/env bash
# Runs a program in an Xvfb display of its own, without a window manager, and exits with the program's status.
# Usage: under_xvfb.sh PROGRAM [ARGUMENTS...]
set -euo pipefail

source "$(dirname "$0")/x_session.sh"
require_tools Xvfb

start_xvfb 1024x768 || fail "no Xvfb display could be started"
status=0
"$@" || status=$?
exit "$status"
