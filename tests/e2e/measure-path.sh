#!/bin/sh
# measure-path.sh BUILD_DIR [RUNS]: namespaces  h1 -(1500)- router -(1400)- h2  (vtm25-*),
# echoes answered in h2 after 200 ms, a fresh Wine prefix started inside h1, and the
# MeasurePath end-to-end test run there; then again with a black hole (the router's side of
# the far link at 1500). Root only; exits 77 (skipped) saying why where it cannot.
set -u
build="$(cd "${1:?usage: measure-path.sh BUILD_DIR [RUNS]}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
h1=vtm25-h1 r=vtm25-r h2=vtm25-h2
responder=""

remove_namespaces() { for ns in $h1 $r $h2; do ip netns del $ns 2>/dev/null || true; done; }
finish() {
  [ -n "$responder" ] && kill "$responder" 2>/dev/null
  WINEPREFIX="$build/measure-prefix" wineserver -k 2>/dev/null || true
  remove_namespaces
}

ip netns add vtm25-probe 2>/dev/null && ip netns del vtm25-probe ||
  { echo "SKIP: 'ip netns add' fails here (root with CAP_NET_ADMIN is needed)"; exit 77; }
trap finish EXIT INT TERM

# build_path FAR_ROUTER_MTU: 1400 gives a router that says "too big"; 1500 a black hole.
build_path() {
  remove_namespaces
  for ns in $h1 $r $h2; do ip netns add $ns; ip -n $ns link set lo up; done
  ip link add vtm25-a1 netns $h1 type veth peer name vtm25-a2 netns $r
  ip link add vtm25-b1 netns $r type veth peer name vtm25-b2 netns $h2
  ip -n $r link set vtm25-b1 mtu "$1"
  ip -n $h2 link set vtm25-b2 mtu 1400
  set -- $h1 vtm25-a1 10.0.1.2  $r vtm25-a2 10.0.1.1  $r vtm25-b1 10.0.2.1  $h2 vtm25-b2 10.0.2.2
  while [ $# -gt 0 ]; do
    ip -n "$1" addr add "$3/24" dev "$2" && ip -n "$1" link set "$2" up; shift 3
  done
  ip -n $h1 route add default via 10.0.1.1
  ip -n $h2 route add default via 10.0.2.1
  ip netns exec $r sysctl -qw net.ipv4.ip_forward=1
  # Every over-size probe gets its "too big", not only the first (Linux caches the path MTU).
  ip netns exec $h1 sysctl -qw net.ipv4.route.mtu_expires=0
  ip netns exec $h2 sysctl -qw net.ipv4.icmp_echo_ignore_all=1
  ip netns exec $h2 python3 "$here/echo_responder.py" 0.2 &
  responder=$!
}

run_once() {
  kind=$1
  build_path "$( [ "$kind" = blackhole ] && echo 1500 || echo 1400 )"
  ip netns exec $h1 env WINEDEBUG=-all WINEPREFIX="$build/measure-prefix" \
    VELTRANO_SOURCE_DIR="$here/../.." VELTRANO_MEASURE_PATH="$kind" xvfb-run -a sh -c "
      '$here/../support/wine-prefix.sh' create '$build/measure-prefix' >/dev/null &&
      wine '$build/bin/e2e_tests.exe' --gtest_filter=MeasurePath.* 2>&1" > "$build/measure-$kind.log"
  status=$?
  grep -E "figures:|OK \]|FAILED|Failure|Expected|Which is|actual" "$build/measure-$kind.log"
  grep -q "\[  PASSED  \] 1 test" "$build/measure-$kind.log" || status=1
  echo "$kind: exit $status"
  kill "$responder" 2>/dev/null; wait "$responder" 2>/dev/null; responder=""; return $status
}

failed=0
for i in $(seq "${2:-1}"); do
  echo "== run $i"; run_once path || failed=1; run_once blackhole || failed=1
done
exit $failed
