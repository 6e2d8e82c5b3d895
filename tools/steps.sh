# Sourced by the project's commands: each step that can fail says which one it
# was and the message it gave, in one line, and ends the command with its code.
#   step "what it does" COMMAND...        the command's output is shown as usual
#   quiet_step "what it does" COMMAND...  the output is kept back, the message still told
# The line starts with the command's name ($step_tool, or the script's own).

# The message a failed command gave: a compiler's or tool's first error line,
# else the last line it printed.
step_message() {
  local log="$1" line
  line=$(tr -d '\r' <"$log" | grep -m1 -E '(^|[^a-z])(error|Error|ERROR|FAILED)\b' || true)
  [ -n "$line" ] || line=$(tr -d '\r' <"$log" | grep -v '^[[:space:]]*$' | tail -n1 || true)
  printf '%s' "${line:0:400}"
}

step_failed() {
  local what="$1" rc="$2" log="$3" message
  message=$(step_message "$log")
  echo "${step_tool:-$(basename "$0")}: $what failed (exit code $rc)${message:+: $message}" >&2
}

step() {
  local what="$1"
  shift
  local log rc=0
  log=$(mktemp)
  # Standard error goes to the terminal and to the log; standard output as it was.
  { "$@" 2>&1 1>&3 3>&- | tee "$log" >&2; rc=${PIPESTATUS[0]}; } 3>&1 || true
  if [ "$rc" -ne 0 ]; then
    step_failed "$what" "$rc" "$log"
    rm -f "$log"
    exit "$rc"
  fi
  rm -f "$log"
}

quiet_step() {
  local what="$1"
  shift
  local log rc=0
  log=$(mktemp)
  "$@" >"$log" 2>&1 || rc=$?
  if [ "$rc" -ne 0 ]; then
    step_failed "$what" "$rc" "$log"
    rm -f "$log"
    exit "$rc"
  fi
  rm -f "$log"
}
