#!/usr/bin/env bash
# expect DESCRIPTION COMMAND...: runs COMMAND, prints ok or FAILED with DESCRIPTION, and counts
# failures; finish() prints the count and fails when there was any.
failures=0
expect() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}
finish() {
    echo "$failures failed"
    [ "$failures" -eq 0 ]
}
