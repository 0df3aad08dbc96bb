# Sourced by the benchmark scripts that measure the virtual arm's window.
# start_arm_on_com9 ARM CONFIG starts the arm on the GTK display with its
# port folder under CONFIG, waits until it has published COM9 and let its
# window settle, and sets arm_pid and arm_line (the terminal a sender
# writes to).
start_arm_on_com9() {
  local entry=$2/armctl/ports/COM9
  XDG_CONFIG_HOME=$2 "$1" --com 9 --backend=gtk 2>/dev/null &
  arm_pid=$!
  for _ in $(seq 100); do
    [ -L "$entry" ] && break
    sleep 0.1
  done
  [ -L "$entry" ] || { echo "the arm did not publish COM9" >&2; return 1; }
  arm_line=$(readlink "$entry")
  sleep 2
}
