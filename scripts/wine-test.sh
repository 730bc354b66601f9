#!/bin/sh
# How ctest runs a test program under Wine. A failing program's exit code is told, so that a failure
# without any output of the program (Wine not starting it) can be told apart from one of the program.
/usr/bin/wine "$@"
rc=$?
[ "$rc" -eq 0 ] || echo "wine-test: exit code $rc" >&2
exit "$rc"
