#!/usr/bin/env bash
# Builds Marvisto and starts it from its program folder.
set -euo pipefail
cd "$(dirname "$0")"
./build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Marvisto needs a graphical display: no DISPLAY or WAYLAND_DISPLAY is set." >&2
  exit 1
fi
exec dist/Marvisto/marvisto "$@"
