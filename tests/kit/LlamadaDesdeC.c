/*
 * A host written in plain C: loads the module with dlopen, builds its strings
 * with the public header's helper and calls both exports.
 *
 *   velmora-llamada-c LIBRARY DATABASE USER PASSWORD CUSTOMER
 *
 * Prints "<export> <result>" per call. Exit 0 when both calls returned 1.
 */
#include <velmora.h>

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

static int falla(const char *que)
{
    fprintf(stderr, "%s\n", que);
    return 1;
}

/* The helper writes the layout the module reads, and refuses what does not fit. */
static int compruebaCadenas(void)
{
    unsigned char buffer[VELMORA_HOST_STRING_SIZE(3)];
    VelmoraHostString s = NULL;
    const unsigned char *p;
    int32_t length;
    uint16_t codePage, elementSize;

    if (velmora_host_string_latin1(buffer, sizeof buffer, "ab\xe9", &s) != 0 || s == NULL)
        return falla("a three-letter string does not fit its own size");
    p = (const unsigned char *)(const void *)s;
    memcpy(&length, p - 4, 4);
    memcpy(&elementSize, p - 10, 2);
    memcpy(&codePage, p - 12, 2);
    if (length != 3 || elementSize != 2 || codePage != 1200 || s[2] != 0xE9 || s[3] != 0)
        return falla("the string's header or code units are wrong");
    if (velmora_host_string_latin1(buffer, sizeof buffer - 1, "abc", &s) != -1)
        return falla("a buffer one byte short was accepted");
    if (velmora_host_string_latin1(buffer, sizeof buffer, "", &s) != 0 || s != NULL)
        return falla("the empty string is not a null pointer");
    return 0;
}

int main(int argc, char **argv)
{
    void *biblioteca;
    VelmoraMostrarRiesgoClienteFn riesgo;
    VelmoraAbrirConfiguracionVelmoraFn configuracion;
    /* Each string keeps its own buffer alive for both calls. */
    static unsigned char bufRuta[4096], bufUsuario[256], bufClave[256];
    VelmoraHostString ruta, usuario, clave;
    int32_t r1, r2;

    if (argc != 6)
        return falla("usage: velmora-llamada-c LIBRARY DATABASE USER PASSWORD CUSTOMER");
    if (compruebaCadenas() != 0)
        return 1;
    if (velmora_host_string_latin1(bufRuta, sizeof bufRuta, argv[2], &ruta) != 0
        || velmora_host_string_latin1(bufUsuario, sizeof bufUsuario, argv[3], &usuario) != 0
        || velmora_host_string_latin1(bufClave, sizeof bufClave, argv[4], &clave) != 0)
        return falla("an argument is too long");

    biblioteca = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!biblioteca)
        return falla(dlerror());
    /* Object pointer to function pointer goes through memcpy to stay within ISO C. */
    {
        void *a = dlsym(biblioteca, "MostrarRiesgoCliente");
        void *b = dlsym(biblioteca, "AbrirConfiguracionVelmora");
        if (!a || !b)
            return falla("the library lacks an export");
        memcpy(&riesgo, &a, sizeof riesgo);
        memcpy(&configuracion, &b, sizeof configuracion);
    }

    r1 = riesgo(1, 1, 7, atoi(argv[5]), 0, 0, VELMORA_SIN_DOCUMENTO, ruta, usuario, clave);
    printf("MostrarRiesgoCliente %d\n", (int)r1);
    fflush(stdout);
    r2 = configuracion(1, 1, 7, ruta, usuario, clave);
    printf("AbrirConfiguracionVelmora %d\n", (int)r2);
    fflush(stdout);
    return r1 == 1 && r2 == 1 ? 0 : 1;
}
