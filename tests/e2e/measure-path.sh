#!/bin/sh
# measure-path.sh BUILD_DIR [RUNS]: the measure window over a real path. Builds network
# namespaces  h1 -(1500)- router -(1400)- h2  (names vtm25-*), answers echoes in h2
# after 200 ms from a raw socket, makes a fresh Wine prefix whose first process starts
# inside h1, and runs the MeasurePath end-to-end test there; then the same with a black
# hole (the router's side of the far link at 1500, h2's at 1400). Root only; exits 77
# (skipped) saying why where namespaces cannot be made.
set -u
build="$(cd "${1:?usage: measure-path.sh BUILD_DIR [RUNS]}" && pwd)"
runs="${2:-1}"
here="$(cd "$(dirname "$0")" && pwd)"
h1=vtm25-h1 r=vtm25-r h2=vtm25-h2
responder=""

remove_namespaces() { for ns in $h1 $r $h2; do ip netns del $ns 2>/dev/null || true; done; }
finish() {
  [ -n "$responder" ] && kill "$responder" 2>/dev/null
  WINEPREFIX="$build/measure-prefix" wineserver -k 2>/dev/null || true
  remove_namespaces
}

if ! ip netns add vtm25-probe 2>/dev/null; then
  echo "SKIP: 'ip netns add' fails here (root with CAP_NET_ADMIN is needed): no path to measure"
  exit 77
fi
ip netns del vtm25-probe
trap finish EXIT INT TERM

# far_router_mtu: 1400 gives a router that says "too big"; 1500 a black hole.
build_path() {
  far_router_mtu=$1
  remove_namespaces
  for ns in $h1 $r $h2; do ip netns add $ns; ip -n $ns link set lo up; done
  ip link add vtm25-a1 netns $h1 type veth peer name vtm25-a2 netns $r
  ip link add vtm25-b1 netns $r type veth peer name vtm25-b2 netns $h2
  ip -n $h1 addr add 10.0.1.2/24 dev vtm25-a1
  ip -n $r addr add 10.0.1.1/24 dev vtm25-a2
  ip -n $r addr add 10.0.2.1/24 dev vtm25-b1
  ip -n $h2 addr add 10.0.2.2/24 dev vtm25-b2
  ip -n $r link set vtm25-b1 mtu "$far_router_mtu"
  ip -n $h2 link set vtm25-b2 mtu 1400
  for pair in $h1:vtm25-a1 $r:vtm25-a2 $r:vtm25-b1 $h2:vtm25-b2; do
    ip -n "${pair%%:*}" link set "${pair#*:}" up
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
  started=$(date +%s)
  ip netns exec $h1 env WINEDEBUG=-all WINEPREFIX="$build/measure-prefix" \
    VELTRANO_SOURCE_DIR="$here/../.." VELTRANO_MEASURE_PATH="$kind" xvfb-run -a sh -c "
      '$here/../support/wine-prefix.sh' create '$build/measure-prefix' >/dev/null &&
      wine '$build/bin/e2e_tests.exe' --gtest_filter=MeasurePath.* 2>&1" > "$build/measure-$kind.log"
  status=$?
  grep -E "figures:|OK \]|FAILED|Failure|Expected|Which is|actual" "$build/measure-$kind.log"
  grep -q "\[  PASSED  \] 1 test" "$build/measure-$kind.log" || status=1
  echo "$kind: exit $status in $(( $(date +%s) - started )) s"
  kill "$responder" 2>/dev/null; wait "$responder" 2>/dev/null; responder=""; return $status
}

failed=0 i=1
while [ $i -le "$runs" ]; do
  echo "== run $i"
  run_once path || failed=1
  run_once blackhole || failed=1
  i=$((i + 1))
done
exit $failed
