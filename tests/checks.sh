# The harness of the shell tests, sourced: a scratch folder $work removed at exit,
# check DESCRIPTION COMMAND... to count and report one check, finish to end the test with
# the count and its exit status.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passes=0
check() {
  local what=$1; shift
  if "$@"; then echo "ok: $what"; passes=$((passes + 1)); else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
finish() {
  echo "$passes passed, $failures failed"
  [ "$failures" -eq 0 ]
}
