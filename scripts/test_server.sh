# A private PostgreSQL server for the tests, sourced by scripts/test.sh (or by hand:
#   source scripts/test_server.sh && start_test_server
# then run ctest or a test binary from the same shell).
#
# start_test_server makes a cluster in a temporary folder, owned by an unprivileged user (the
# server refuses to run as root: as root the user tunarium-test is made when missing), listening
# on a Unix socket in that folder only (no TCP port at all), and exports its connection string
# as TUNARIUM_TEST_SERVER. Tests without that variable skip their server cases. The server is
# stopped and the folder removed when the shell exits, however it exits.

# start_test_server --bench makes the server the benchmarks measure instead: on 127.0.0.1 at a
# free port as well as the socket (a station's server on loopback), fsync on as a real server has
# it, and a cache for a million songs.
start_test_server() {
  local bin bench=0
  [ "${1:-}" = "--bench" ] && bench=1
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
    echo "test server: PostgreSQL is not installed (scripts/setup.sh installs it)" >&2
    return 1
  fi
  TEST_SERVER_DIR=$(mktemp -d /tmp/tunarium-pg.XXXXXX)
  TEST_SERVER_BIN=$bin
  TEST_SERVER_AS=()
  if [ "$(id -u)" -eq 0 ]; then
    if ! id -u tunarium-test >/dev/null 2>&1; then
      useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin tunarium-test
    fi
    chown tunarium-test: "$TEST_SERVER_DIR"
    TEST_SERVER_AS=(runuser -u tunarium-test --)
  fi
  trap stop_test_server EXIT
  "${TEST_SERVER_AS[@]}" "$bin/initdb" -D "$TEST_SERVER_DIR/data" -U tunarium --auth=trust -E UTF8 \
    --locale=C.UTF-8 > "$TEST_SERVER_DIR/initdb.log" 2>&1 || {
    cat "$TEST_SERVER_DIR/initdb.log" >&2
    return 1
  }
  # For the tests only the socket in the folder, and fsync off: the cluster lives as long as the
  # tests.
  local options="-c listen_addresses='' -k $TEST_SERVER_DIR -c fsync=off -c max_connections=200"
  local port=""
  if [ "$bench" = 1 ]; then
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    options="-c listen_addresses=127.0.0.1 -p $port -k $TEST_SERVER_DIR -c shared_buffers=1GB -c max_wal_size=4GB"
  fi
  "${TEST_SERVER_AS[@]}" "$bin/pg_ctl" -D "$TEST_SERVER_DIR/data" -l "$TEST_SERVER_DIR/server.log" -w \
    -o "$options" start > /dev/null || {
    cat "$TEST_SERVER_DIR/server.log" >&2
    return 1
  }
  if [ "$bench" = 1 ]; then
    export TUNARIUM_TEST_SERVER="host=127.0.0.1 port=$port user=tunarium dbname=postgres"
  else
    export TUNARIUM_TEST_SERVER="host=$TEST_SERVER_DIR user=tunarium dbname=postgres"
  fi
  echo "test server: PostgreSQL on $TEST_SERVER_DIR"
}

stop_test_server() {
  if [ -n "${TEST_SERVER_DIR:-}" ] && [ -d "$TEST_SERVER_DIR/data" ]; then
    "${TEST_SERVER_AS[@]}" "$TEST_SERVER_BIN/pg_ctl" -D "$TEST_SERVER_DIR/data" -m immediate -w stop \
      > /dev/null 2>&1 || true
  fi
  if [ -n "${TEST_SERVER_DIR:-}" ]; then
    rm -rf "$TEST_SERVER_DIR"
  fi
  TEST_SERVER_DIR=""
}
