#!/usr/bin/env bash
# demo.sh BUILD_DIR [durnix options]: runs Durnix against the virtual instrument. Each demo's
# instrument gets a pseudo-terminal of its own, linked at BUILD_DIR/demo/ttyDURNIX-<this PID>,
# durnix.ini there maps COM1 to it, and the instrument stops when Durnix closes. The link
# BUILD_DIR/demo/ttyDURNIX leads to the newest demo's, for other programs. A relative
# --log FILE is taken from the folder demo.sh was started in.
set -euo pipefail

build=$(cd "${1:?usage: demo.sh BUILD_DIR [durnix options]}" && pwd)
shift
demo=$build/demo
link=$demo/ttyDURNIX-$$
newest=$demo/ttyDURNIX
log=$demo/instrument-$$.log
ini=$demo/durnix.ini
mkdir -p "$demo"

args=()
while [ $# -gt 0 ]; do
  case $1 in
    --log) args+=(--log "$(realpath -m -- "${2:?--log needs a file}")"); shift 2 ;;
    --log=*) args+=("--log=$(realpath -m -- "${1#--log=}")"); shift ;;
    *) args+=("$1"); shift ;;
  esac
done

# Links and logs of demos that ended without cleaning up; a running demo keeps its own.
for old in "$demo"/ttyDURNIX-* "$demo"/instrument-*.log; do
  pid=${old##*-}; pid=${pid%.log}
  [ -e "$old" ] || [ -L "$old" ] || continue
  kill -0 "$pid" 2>/dev/null || rm -f -- "$old"
done

"$build/src/instrument/durnix-instrument" --link "$link" >"$log" &
instrument=$!
trap 'kill -TERM "$instrument" 2>/dev/null || true; wait "$instrument" 2>/dev/null || true; tail -n 1 "$log"; rm -f "$log"
  [ "$(readlink "$newest")" = "${link##*/}" ] && rm -f "$newest"' EXIT

# The instrument prints the path once the link is in place; a stale link from an
# earlier run may still be there before that.
for _ in $(seq 100); do
  [ -s "$log" ] && break
  kill -0 "$instrument" 2>/dev/null || { echo "demo: the instrument did not start" >&2; exit 1; }
  sleep 0.05
done
[ -s "$log" ] || { echo "demo: the instrument did not link $link" >&2; exit 1; }
ln -sfn "${link##*/}" "$newest"
echo "demo: the instrument answers at $link (and at $newest while this demo is the newest)" >&2

# Keep every other setting; one COM1 line, where the first one was.
touch "$ini"
awk -v com1="COM1=$link" '
  BEGIN { ORS = "\r\n" }
  { sub(/\r$/, "") }
  /^COM1=/ { if (!done) print com1; done = 1; next }
  { print }
  END { if (!done) print com1 }
' "$ini" >"$ini.new"
mv "$ini.new" "$ini"

cd "$demo"
"$build/src/app/durnix" ${args[@]+"${args[@]}"}
