# Serves a virtual display over VNC on the loopback address only, for
# machines without a display of their own. Sourced by scripts/demo.
#
#   serve_display_on_loopback PORT   starts Xvfb and x11vnc, exports DISPLAY
#   stop_served_display              ends both
#
# Nothing listens on another interface: the window drives real hardware, and
# the VNC server has no password, so only this machine may reach it (from
# elsewhere, through an SSH tunnel: ssh -L 5900:localhost:5900 host).

served_display_pids=()

serve_display_on_loopback() {
  local port=$1
  local display_number
  for display_number in $(seq 90 130); do
    [[ -e "/tmp/.X${display_number}-lock" || -e "/tmp/.X11-unix/X${display_number}" ]] && continue
    Xvfb ":$display_number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    served_display_pids+=($!)
    break
  done
  export DISPLAY=":$display_number"
  local _
  for _ in $(seq 100); do
    [[ -e "/tmp/.X11-unix/X${display_number}" ]] && break
    sleep 0.05
  done
  x11vnc -display "$DISPLAY" -localhost -rfbport "$port" -nopw -forever -shared -quiet \
    >/dev/null 2>&1 &
  served_display_pids+=($!)
  for _ in $(seq 100); do
    listening_on_port "$port" && return 0
    sleep 0.05
  done
  echo "The VNC server did not start on port $port." >&2
  return 1
}

stop_served_display() {
  local pid
  for pid in "${served_display_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  served_display_pids=()
}

# The local addresses of the TCP sockets that listen on PORT, as the kernel
# lists them in hexadecimal (0100007F is 127.0.0.1).
listening_addresses() {
  local port_hex
  port_hex=$(printf '%04X' "$1")
  awk -v port="$port_hex" '$4 == "0A" { split($2, local, ":"); if (local[2] == port) print local[1] }' \
    /proc/net/tcp /proc/net/tcp6 2>/dev/null
}

listening_on_port() {
  [[ -n "$(listening_addresses "$1")" ]]
}
