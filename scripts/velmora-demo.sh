#!/usr/bin/env bash
# Builds a demo host database in a folder (default ./velmora-demo) and shows the
# module on it through norvik-host as SYSDBA. With a display and no
# DEMO_AUTOPILOT it opens the module's main screen for the user. Otherwise it
# drives the module unattended (under Xvfb when there is no display, or on
# Qt's offscreen platform when QT_QPA_PLATFORM=offscreen): installation and
# configuration, the risk check of a customer over his limit and of one within
# it, the listings window with a customer search by name, and the three
# listings exported by the host's preview settings as PDF (the declaration also
# as XLS), with a picture of page 1 of each. DEMO_CLIENTES sets the number of
# customers (default 2 400).
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

# Unattended without a display: the whole run goes under one X server.
if [[ -z ${DISPLAY:-} && ${QT_QPA_PLATFORM:-} != offscreen && -z ${DEMO_EN_XVFB:-} ]]; then
  command -v xvfb-run >/dev/null || { echo "velmora-demo: no display and xvfb-run is missing (see the README)" >&2; exit 1; }
  DEMO_EN_XVFB=1 DEMO_AUTOPILOT=1 QT_QPA_PLATFORM=xcb exec xvfb-run -a -s "-screen 0 1280x900x24" "$SELF" "$@"
fi

OUT=$(mkdir -p "${1:-velmora-demo}" && cd "${1:-velmora-demo}" && pwd)
for tool in isql-fb python3 iconv; do
  command -v "$tool" >/dev/null || { echo "velmora-demo: $tool is missing (see the README)" >&2; exit 1; }
done
CLIENTES=${DEMO_CLIENTES:-2400}

DB=$OUT/demo.fdb
rm -f "$DB"
{
  echo "SET SQL DIALECT 1;"
  echo "CREATE DATABASE '$DB' USER 'SYSDBA' PAGE_SIZE 8192 DEFAULT CHARACTER SET ISO8859_1;"
  cat "$SCHEMA"
  python3 "$DATA/demo-data.py" --clientes "$CLIENTES"
} | iconv -f UTF-8 -t ISO-8859-1 > "$OUT/demo.sql"
# isql warns about the schema's dialect 1 dates; its output is shown only when it fails.
isql-fb -q -b -ch ISO8859_1 -i "$OUT/demo.sql" >"$OUT/demo-isql.log" 2>&1 || { cat "$OUT/demo-isql.log" >&2; exit 1; }
echo "demo: host database $DB (3 companies, $CLIENTES customers, a year of documents)"

export LANG=es_ES.UTF-8 LC_ALL=es_ES.UTF-8
# Qt wants a private runtime folder; without one it says so on every start.
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
  export XDG_RUNTIME_DIR=$OUT/runtime
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi
CONEXION=(--IdEmpresa 1 --IdGrupoEmpresa 1 --IdUsuario 1 --RutaBaseDatos "$DB" --NombreUsuario SYSDBA --Password demo)
if [[ -n ${DISPLAY:-} && -z ${DEMO_AUTOPILOT:-} ]]; then
  exec "$BIN/norvik-host" AbrirConfiguracionVelmora "${CONEXION[@]}"
fi

# The host reads its preview settings from its own folder, so the demo runs a copy of it.
HOSTDIR=$OUT/norvik
mkdir -p "$HOSTDIR"
cp -L "$BIN/norvik-host" "$BIN/libvelmora.so" "$BIN/Norvik_GestorEmails.exe" "$HOSTDIR/"
rm -f "$HOSTDIR/ListaDireccionesEMail.ini"
ESCRITOS=()

# ejecutar_host SCRIPT EXPORT ARGS...: runs the host with an autopilot script from the data
# folder (@OUT@ is the output folder); with EXPORT, the preview writes that file.
ejecutar_host() {
  local guion=$1 exporta=$2
  shift 2
  sed "s#@OUT@#$OUT#g" "$DATA/$guion" > "$OUT/$guion"
  if [[ -n $exporta ]]; then
    printf '[Configuracion]\r\nGenerarPDF=1\r\nNombreArchivo=%s\r\n' "$OUT/$exporta" > "$HOSTDIR/ListaDireccionesEMail.ini"
    rm -f "$OUT/$exporta"
  fi
  "$HOSTDIR/norvik-host" "$@" --autopilot "$OUT/$guion"
  rm -f "$HOSTDIR/ListaDireccionesEMail.ini"
  if [[ -n $exporta ]]; then
    [[ -s $OUT/$exporta ]] || { echo "velmora-demo: $exporta was not written" >&2; exit 1; }
    ESCRITOS+=("$exporta")
  fi
}

echo "demo: installation and configuration from the main screen"
ejecutar_host demo.autopilot "" AbrirConfiguracionVelmora "${CONEXION[@]}"
# What needs the module's columns: the series' risk groups and the customers' limits in groups 2 to 5.
python3 "$DATA/demo-data.py" --clientes "$CLIENTES" --riesgos | iconv -f UTF-8 -t ISO-8859-1 > "$OUT/demo-riesgos.sql"
isql-fb -q -b -ch ISO8859_1 -user SYSDBA "$DB" -i "$OUT/demo-riesgos.sql" >"$OUT/demo-isql.log" 2>&1 \
  || { cat "$OUT/demo-isql.log" >&2; exit 1; }

echo "demo: order 1 of customer 00001, over his limit in risk group 1 (the control dialog, then his risk overview)"
ejecutar_host demo-riesgo.autopilot "" MostrarRiesgoCliente "${CONEXION[@]}" --IdCliente 1 --IDSerie 1 --IdDocumento 1 --TipoDocumento 1
echo "demo: order 2 of customer 00002, within his limit (no window)"
"$HOSTDIR/norvik-host" MostrarRiesgoCliente "${CONEXION[@]}" --IdCliente 2 --IDSerie 1 --IdDocumento 2 --TipoDocumento 1

echo "demo: the listings window, a customer search by name and the customers' risk situation"
ejecutar_host demo-listados.autopilot situacion-clientes.pdf AbrirConfiguracionVelmora "${CONEXION[@]}"
echo "demo: the risk situation by group"
ejecutar_host demo-grupos.autopilot situacion-grupos.pdf AbrirConfiguracionVelmora "${CONEXION[@]}"
echo "demo: last month's sales declaration for the credit insurer, as PDF and as XLS"
ejecutar_host demo-caucion.autopilot declaracion-caucion.pdf AbrirConfiguracionVelmora "${CONEXION[@]}"
ejecutar_host demo-caucion.autopilot declaracion-caucion.xls AbrirConfiguracionVelmora "${CONEXION[@]}"

if command -v pdftoppm >/dev/null; then
  for pdf in situacion-clientes situacion-grupos declaracion-caucion; do
    pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$OUT/$pdf.pdf" "$OUT/$pdf-pagina1"
    ESCRITOS+=("$pdf-pagina1.png")
  done
fi
cd "$OUT"
echo "demo: written in $OUT: ${ESCRITOS[*]} and the screenshots $(echo [0-9][0-9]-*.png)"
