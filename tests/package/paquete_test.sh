#!/usr/bin/env bash
# paquete_test.sh SOURCE_DIR BUILD_DIR
# The package end to end: build it, install it with dpkg -i, let the installed
# norvik-host install the module in a fresh host database, list the declaration
# with the installed velmora program, build a C host against the installed
# header with find_package(Velmora) and call the installed plug-in, then
# remove the package with dpkg -r.
set -euo pipefail
SRC=$1
BUILD=$(cd "$2" && pwd)

if [[ $(id -u) -ne 0 ]]; then
  echo "package_test: skipped: installing a package with dpkg needs root"
  exit 77
fi

WORK=$BUILD/tests/package/trabajo
DBDIR=${VELMORA_TEST_DB_DIR:-/tmp/velmora-test-db}
DB=$DBDIR/paquete-$$.fdb
PASSWORD=${VELMORA_SYSDBA_PASSWORD:-$(cat /etc/firebird/3.0/SYSDBA.password | sed -n 's/^ISC_PASSWORD="\{0,1\}\([^"]*\)"\{0,1\}$/\1/p')}
export ISC_USER=SYSDBA ISC_PASSWORD=$PASSWORD
rm -rf "$WORK" && mkdir -p "$WORK" "$DBDIR" && chmod 777 "$DBDIR"

instalado=0
limpiar() {
  isql-fb -q -user SYSDBA -password "$PASSWORD" <<<"CONNECT 'localhost:$DB'; DROP DATABASE;" >/dev/null 2>&1 || true
  if ((instalado)); then dpkg -r velmora >/dev/null || echo "package_test: dpkg -r velmora failed" >&2; fi
}
trap limpiar EXIT
falla() { echo "package_test: $*" >&2; exit 1; }

deb=$(BUILD_DIR=$BUILD "$SRC/scripts/package.sh" | tail -1)
[[ -f $deb ]] || falla "no package built"
dpkg -i "$deb" >/dev/null
instalado=1
for f in /usr/bin/velmora /usr/bin/norvik-host /usr/include/velmora.h /usr/lib/velmora/libvelmora.so \
         /usr/lib/cmake/Velmora/VelmoraConfig.cmake /usr/bin/velmora-demo; do
  [[ -e $f ]] || falla "$f is not installed"
done

# A host database with the demo's rows, as the demo builds it.
{
  echo "SET SQL DIALECT 1;"
  echo "CREATE DATABASE 'localhost:$DB' USER 'SYSDBA' PASSWORD '$PASSWORD' PAGE_SIZE 8192 DEFAULT CHARACTER SET ISO8859_1;"
  cat /usr/share/velmora/host-schema.sql
  python3 /usr/share/velmora/demo-data.py --clientes 200
} | iconv -f UTF-8 -t ISO-8859-1 > "$WORK/base.sql"
isql-fb -q -b -ch ISO8859_1 -i "$WORK/base.sql" >/dev/null

# The installed host installs the module from its main screen.
cat > "$WORK/instalar.autopilot" <<'SCRIPT'
window "  Modulo de Velmora"
click BotonInstalar
window "  Instalación del Módulo de Velmora"
click BitBtnAceptar
window "Aviso"
click BotonAceptar
window "  Modulo de Velmora"
click BotonCerrar
SCRIPT
LC_ALL=C.UTF-8 norvik-host AbrirConfiguracionVelmora --IdEmpresa 1 --IdGrupoEmpresa 1 --IdUsuario 1 \
  --RutaBaseDatos "localhost:$DB" --NombreUsuario SYSDBA --Password "$PASSWORD" \
  --autopilot "$WORK/instalar.autopilot" > "$WORK/host.out" 2>&1 || { cat "$WORK/host.out"; falla "norvik-host failed"; }
procedimiento=$(isql-fb -q -user SYSDBA -password "$PASSWORD" "localhost:$DB" <<<"SELECT COUNT(*) FROM RDB\$PROCEDURES WHERE RDB\$PROCEDURE_NAME = 'PRSITUACIONCLIENTESRIESGOGRUPOS';" | tr -dc '0-9')
[[ $procedimiento == 1 ]] || falla "the installed host did not install the module"

# The installed program lists the declaration of the demo's data.
velmora declaracion --base "localhost:$DB" --empresa 1 --grupo-empresas 1 --mes 1 --salida "$WORK/declaracion.pdf" \
  --silencioso || falla "velmora declaracion failed"
# Read the whole text first: grep -q stops at the first match and, under pipefail, the
# writer's SIGPIPE on a longer PDF would fail the pipeline.
texto=$(pdftotext "$WORK/declaracion.pdf" -) || falla "the declaration is not a valid PDF"
grep -qF "Listado Cred. y Caución" <<<"$texto" || falla "the declaration PDF lacks its title"

# A C host built against the installed header and package configuration calls the installed plug-in.
mkdir -p "$WORK/host-c"
cat > "$WORK/host-c/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(HostC LANGUAGES C)
find_package(Velmora REQUIRED)
add_executable(host-c $SRC/tests/kit/LlamadaDesdeC.c)
set_target_properties(host-c PROPERTIES C_STANDARD 11 C_EXTENSIONS OFF)
target_link_libraries(host-c PRIVATE Velmora::header \${CMAKE_DL_LIBS})
CMAKE
cmake -S "$WORK/host-c" -B "$WORK/host-c/build" -G Ninja >/dev/null
cmake --build "$WORK/host-c/build" >/dev/null
salida=$(QT_PLUGIN_PATH=$BUILD/kit-plugins QT_QPA_GENERIC_PLUGINS=cierreventanas \
  "$WORK/host-c/build/host-c" /usr/lib/velmora/libvelmora.so "localhost:$DB" SYSDBA "$PASSWORD" 1 2>"$WORK/host-c.err") \
  || { cat "$WORK/host-c.err"; falla "the C host failed"; }
[[ $salida == $'MostrarRiesgoCliente 1\nAbrirConfiguracionVelmora 1' ]] || falla "the C host printed: $salida"
grep -q "modal: FormRiesgoClientes" "$WORK/host-c.err" || falla "the C host's risk call opened no overview"

dpkg -r velmora >/dev/null
instalado=0
[[ ! -e /usr/bin/velmora && ! -e /usr/lib/velmora/libvelmora.so ]] || falla "dpkg -r left files behind"
echo "package_test: passed"
