#!/usr/bin/env bash
# ventana_cli_test.sh SOURCE_DIR BUILD_DIR
# The velmora program and the listings window write the same listing for the
# same filters: on the demo's database (60 customers) each listing is exported
# once by the window's preview, as the host's preview settings ask, and once by
# velmora, and the two PDFs read back with pdftotext must be equal line for line.
set -euo pipefail
SRC=$1
BUILD=$(cd "$2" && pwd)
BIN=$BUILD/bin
OUT=$BUILD/tests/cli/ventana
rm -rf "$OUT"
falla() { echo "ventana_cli_test: $*" >&2; exit 1; }

export LANG=es_ES.UTF-8 LC_ALL=es_ES.UTF-8 QT_QPA_PLATFORM=offscreen
salida=$(DEMO_AUTOPILOT=1 DEMO_CLIENTES=60 VELMORA_BIN=$BIN "$SRC/scripts/velmora-demo.sh" "$OUT/demo" 2>&1) \
  || { echo "$salida"; falla "the demo database could not be built"; }
DB=$OUT/demo/demo.fdb
HOSTDIR=$OUT/demo/norvik
export ISC_USER=SYSDBA ISC_PASSWORD=demo

# Both runs see the same day and hour, so the print date and the default month agree.
AHORA="$(date +%F) 10:00:00"
MES=$(date -d "$(date +%Y-%m-15) -1 month" +%-m)
con_fecha() { faketime -m --exclude-monotonic "$AHORA" "$@"; }

# ventana NOMBRE PASOS: the window exports the listing its steps launch to NOMBRE-ventana.pdf.
ventana() {
  local nombre=$1 pasos=$2 pdf=$OUT/$1-ventana.pdf
  printf '[Configuracion]\r\nGenerarPDF=1\r\nNombreArchivo=%s\r\n' "$pdf" > "$HOSTDIR/ListaDireccionesEMail.ini"
  { printf 'window "  Modulo de Velmora"\nclick BotonListados\nwindow "  Listados de Velmora"\n'
    printf '%s\n' "$pasos"
    printf 'window "SituacionRiesgoClientes"\nwindow "  Listados de Velmora"\nclick BitBtnSalir\n'
    printf 'window "  Modulo de Velmora"\nclick BotonCerrar\n'; } > "$OUT/$nombre.autopilot"
  con_fecha "$HOSTDIR/norvik-host" AbrirConfiguracionVelmora --IdEmpresa 1 --IdGrupoEmpresa 1 --IdUsuario 1 \
    --RutaBaseDatos "$DB" --NombreUsuario SYSDBA --Password demo --autopilot "$OUT/$nombre.autopilot" \
    > "$OUT/$nombre-host.out" 2>&1 || { cat "$OUT/$nombre-host.out"; falla "the host failed for $nombre"; }
  rm -f "$HOSTDIR/ListaDireccionesEMail.ini"
  [[ -s $pdf ]] || { cat "$OUT/$nombre-host.out"; falla "the window wrote no $nombre PDF"; }
}

# programa NOMBRE ARGS...: velmora writes the same listing to NOMBRE-velmora.pdf.
programa() {
  local nombre=$1
  shift
  con_fecha "$BIN/velmora" "$@" --base "$DB" --empresa 1 --grupo-empresas 1 --silencioso \
    --salida "$OUT/$nombre-velmora.pdf" || falla "velmora failed for $nombre"
}

comparar() {
  local nombre=$1 a b
  a=$(pdftotext -layout "$OUT/$1-ventana.pdf" -) || falla "$nombre: the window's file is not a PDF"
  b=$(pdftotext -layout "$OUT/$1-velmora.pdf" -) || falla "$nombre: velmora's file is not a PDF"
  [[ -n $a ]] || falla "$nombre: the window's PDF holds no text"
  diff <(echo "$a") <(echo "$b") >"$OUT/$nombre.diff" || { cat "$OUT/$nombre.diff"; falla "$nombre differs"; }
}

# Every customer in every risk group, by customer and by group.
ventana situacion "$(printf 'set PageControlVentas "1"\nset CheckBoxGruposTodos "1"\nset PageControlVentas "0"\nclick BotonObtenerListadoClientes')"
programa situacion situacion
comparar situacion

ventana grupos "$(printf 'set PageControlVentas "1"\nset CheckBoxGruposTodos "1"\nset PageControlVentas "0"\nset RadioGroupTipoListado1 "1"\nclick BotonObtenerListadoClientes')"
programa grupos situacion --por-grupos
comparar grupos

# Last month's declaration of risk group 1, the window's starting choice.
ventana declaracion "$(printf 'set PageControlVentas "1"\nclick suiButton2')"
programa declaracion declaracion --mes "$MES"
comparar declaracion

echo "ventana_cli_test: passed"
