# Sourced by test.sh: starts a private PostgreSQL cluster on loopback (port
# 54329, owned by the postgres user, data under /tmp), creates the test
# database and writes an odbc.ini with the data source "NUVTESTPG". Exports
# ODBCINI and NUV_TEST_PG_DSN. Returns non-zero when the server cannot start.
# The cluster is throw-away test data: it runs without fsync so that the
# schema each test creates costs milliseconds. The database fixture
# (tests/support/test_database.h) gives every test a schema of its own.

nuv_pg_start() {
  local bindir port=54329 data=/tmp/nuv-test-pg
  bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)
  [ -n "$bindir" ] || return 1
  local as_pg=()
  [ "$(id -u)" -eq 0 ] && as_pg=(runuser -u postgres --)
  if ! "${as_pg[@]}" "$bindir/pg_isready" -h 127.0.0.1 -p $port -q 2>/dev/null; then
    if [ ! -f $data/PG_VERSION ]; then
      mkdir -p $data && chown postgres:postgres $data 2>/dev/null || true
      "${as_pg[@]}" "$bindir/initdb" -D $data -U postgres -A trust >/dev/null || return 1
    fi
    "${as_pg[@]}" "$bindir/pg_ctl" -D $data -l $data/server.log -w \
      -o "-p $port -k /tmp -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
      start >/dev/null || return 1
  fi
  "${as_pg[@]}" "$bindir/psql" -h 127.0.0.1 -p $port -U postgres -tAc \
    "select 1 from pg_database where datname='nuvtest'" | grep -q 1 ||
    "${as_pg[@]}" "$bindir/createdb" -h 127.0.0.1 -p $port -U postgres nuvtest || return 1
  local ini=$PWD/build-odbc.ini
  cat > "$ini" <<INI
[NUVTESTPG]
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$port
Database=nuvtest
Username=postgres
Password=postgres
INI
  export ODBCINI=$ini
  export NUV_TEST_PG_DSN=NUVTESTPG
}
nuv_pg_start
