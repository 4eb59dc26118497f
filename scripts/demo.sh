#!/usr/bin/env bash
# The main job: builds the module, generates a demo host database (a file opened
# by the embedded engine) and opens the module's main screen on it through the
# host stand-in as SYSDBA. Without a display it runs under Xvfb, drives the main
# screen with an autopilot script and leaves screenshots in demo-out/.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_DIR=${BUILD_DIR:-build}
export BUILD_DIR
OUT=$ROOT/demo-out

scripts/setup.sh
mkdir -p "$OUT"
DB=$OUT/demo.fdb
rm -f "$DB"
{
  echo "SET SQL DIALECT 1;"
  echo "CREATE DATABASE '$DB' USER 'SYSDBA' PAGE_SIZE 8192 DEFAULT CHARACTER SET ISO8859_1;"
  cat tests/fixtures/host-schema.sql
  python3 scripts/demo-data.py
} | iconv -f UTF-8 -t ISO-8859-1 > "$OUT/demo.sql"
isql-fb -q -b -ch ISO8859_1 -i "$OUT/demo.sql" >/dev/null
echo "demo: host database $DB (3 companies, 200 customers)"

HOST=("$ROOT/$BUILD_DIR/bin/norvik-host" AbrirConfiguracionVelmora --IdEmpresa 1 --IdGrupoEmpresa 1 --IdUsuario 1
      --RutaBaseDatos "$DB" --NombreUsuario SYSDBA --Password demo)

export LANG=es_ES.UTF-8 LC_ALL=es_ES.UTF-8
if [[ -n "${DISPLAY:-}" && -z "${DEMO_AUTOPILOT:-}" ]]; then
  exec "${HOST[@]}"
fi

sed "s#@OUT@#$OUT#g" scripts/demo.autopilot > "$OUT/demo.autopilot"
sed "s#@OUT@#$OUT#g" scripts/demo-riesgo.autopilot > "$OUT/demo-riesgo.autopilot"
export QT_QPA_PLATFORM=xcb
XVFB=(xvfb-run -a -s "-screen 0 1280x900x24")
# Installation and configuration from the main screen, then a customer's risk overview.
"${XVFB[@]}" "${HOST[@]}" --autopilot "$OUT/demo.autopilot"
"${XVFB[@]}" "$ROOT/$BUILD_DIR/bin/norvik-host" MostrarRiesgoCliente --IdEmpresa 1 --IdGrupoEmpresa 1 --IdUsuario 1 \
  --IdCliente 3 --TipoDocumento -1 --RutaBaseDatos "$DB" --NombreUsuario SYSDBA --Password demo \
  --autopilot "$OUT/demo-riesgo.autopilot"
echo "demo: screenshots in $OUT"
