#!/usr/bin/env bash
# Builds a demo host database in a folder (default ./velmora-demo), installs the
# module in it and opens the module's main screen on it through norvik-host as
# SYSDBA. Without a display it runs under Xvfb, drives the main screen with an
# autopilot script and leaves screenshots in the folder.
# Works from the source tree (after a build) and from the installed package.
set -euo pipefail
SELF=$(readlink -f "$0")
HERE=$(dirname "$SELF")
if [[ -f $HERE/../tests/fixtures/host-schema.sql ]]; then
  ROOT=$(dirname "$HERE")
  BIN=${VELMORA_BIN:-$ROOT/${BUILD_DIR:-build}/bin}
  SCHEMA=$ROOT/tests/fixtures/host-schema.sql
  DATA=$HERE
else
  BIN=${VELMORA_BIN:-$(dirname "$(readlink -f "$(command -v norvik-host)")")}
  DATA=$(dirname "$HERE")/share/velmora
  SCHEMA=$DATA/host-schema.sql
fi

OUT=$(mkdir -p "${1:-velmora-demo}" && cd "${1:-velmora-demo}" && pwd)
for tool in isql-fb python3 iconv; do
  command -v "$tool" >/dev/null || { echo "velmora-demo: $tool is missing (see the README)" >&2; exit 1; }
done

DB=$OUT/demo.fdb
rm -f "$DB"
{
  echo "SET SQL DIALECT 1;"
  echo "CREATE DATABASE '$DB' USER 'SYSDBA' PAGE_SIZE 8192 DEFAULT CHARACTER SET ISO8859_1;"
  cat "$SCHEMA"
  python3 "$DATA/demo-data.py"
} | iconv -f UTF-8 -t ISO-8859-1 > "$OUT/demo.sql"
isql-fb -q -b -ch ISO8859_1 -i "$OUT/demo.sql" >/dev/null
echo "demo: host database $DB (3 companies, 200 customers)"

HOST=("$BIN/norvik-host" AbrirConfiguracionVelmora --IdEmpresa 1 --IdGrupoEmpresa 1 --IdUsuario 1
      --RutaBaseDatos "$DB" --NombreUsuario SYSDBA --Password demo)

export LANG=es_ES.UTF-8 LC_ALL=es_ES.UTF-8
if [[ -n "${DISPLAY:-}" && -z "${DEMO_AUTOPILOT:-}" ]]; then
  exec "${HOST[@]}"
fi

sed "s#@OUT@#$OUT#g" "$DATA/demo.autopilot" > "$OUT/demo.autopilot"
sed "s#@OUT@#$OUT#g" "$DATA/demo-riesgo.autopilot" > "$OUT/demo-riesgo.autopilot"
export QT_QPA_PLATFORM=xcb
XVFB=(xvfb-run -a -s "-screen 0 1280x900x24")
# Installation and configuration from the main screen, then a customer's risk overview.
"${XVFB[@]}" "${HOST[@]}" --autopilot "$OUT/demo.autopilot"
"${XVFB[@]}" "$BIN/norvik-host" MostrarRiesgoCliente --IdEmpresa 1 --IdGrupoEmpresa 1 --IdUsuario 1 \
  --IdCliente 3 --TipoDocumento -1 --RutaBaseDatos "$DB" --NombreUsuario SYSDBA --Password demo \
  --autopilot "$OUT/demo-riesgo.autopilot"
echo "demo: screenshots in $OUT"
