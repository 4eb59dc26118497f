#!/usr/bin/env bash
# demo_test.sh SOURCE_DIR BUILD_DIR
# Runs the demo unattended (Qt's offscreen platform, 60 customers) into a folder
# of the build, then reads back every file its last line names: the listings'
# PDFs with pdftotext, the declaration's XLS with the spreadsheet reader of the
# export tests, the pictures as PNG. Also checks the two risk checks' windows.
set -euo pipefail
SRC=$1
BUILD=$(cd "$2" && pwd)
OUT=$BUILD/tests/demo/salida
rm -rf "$OUT"
falla() { echo "demo_test: $*" >&2; exit 1; }

salida=$(DEMO_AUTOPILOT=1 DEMO_CLIENTES=60 QT_QPA_PLATFORM=offscreen VELMORA_BIN=$BUILD/bin \
  "$SRC/scripts/velmora-demo.sh" "$OUT" 2>&1) || { echo "$salida"; falla "the demo failed"; }

# The over-limit check shows the control dialog; the one within the limit shows nothing.
tramo() { awk -v desde="$1" 'index($0, desde) == 1 {dentro = 1; next} /^demo: / {dentro = 0} dentro' <<<"$salida"; }
grep -qx "window:   Control de Riesgo" <<<"$(tramo "demo: order 1 of customer 00001")" \
  || { echo "$salida"; falla "no control dialog for the customer over his limit"; }
[[ -z $(tramo "demo: order 2 of customer 00002" | grep "^window:") ]] \
  || { echo "$salida"; falla "a window opened for the customer within his limit"; }

ultima=$(tail -1 <<<"$salida")
[[ $ultima == "demo: written in $OUT: "* ]] || { echo "$salida"; falla "the last line does not list what was written"; }
ficheros=$(sed 's/ and the screenshots / /' <<<"${ultima#"demo: written in $OUT: "}")
for esperado in situacion-clientes.pdf situacion-grupos.pdf declaracion-caucion.pdf declaracion-caucion.xls \
                situacion-clientes-pagina1.png situacion-grupos-pagina1.png declaracion-caucion-pagina1.png \
                06-control-riesgo.png 08-listados.png 09-busqueda-clientes.png; do
  grep -qw -- "$esperado" <<<"$ficheros" || falla "the last line does not name $esperado: $ultima"
done

declare -A titulo=([situacion-clientes.pdf]="Situación de riesgo de los clientes"
                   [situacion-grupos.pdf]="Situación de riesgo por grupos"
                   [declaracion-caucion.pdf]="Listado Cred. y Caución")
for f in $ficheros; do
  [[ -s $OUT/$f ]] || falla "$f is missing or empty"
  case $f in
    *.pdf)
      texto=$(pdftotext "$OUT/$f" -) || falla "$f is not a valid PDF"
      grep -qF "${titulo[$f]}" <<<"$texto" || falla "$f lacks its title ${titulo[$f]}"
      grep -q "Pag. 1" <<<"$texto" || falla "$f has no page 1" ;;
    *.xls)
      celdas=$(python3 "$SRC/tests/support/celdas_xlsx.py" "$OUT/$f") || falla "$f is not a valid spreadsheet"
      grep -qF "=S:Listado Cred. y Caución" <<<"$celdas" || falla "$f lacks the declaration's subtitle: $celdas"
      grep -q "=N:" <<<"$celdas" || falla "$f holds no number" ;;
    *.png)
      [[ $(head -c 8 "$OUT/$f" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] || falla "$f is not a PNG picture" ;;
    *) falla "unexpected file $f" ;;
  esac
done
echo "demo_test: passed"
