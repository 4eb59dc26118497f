/*
 * velmora.h: what a host needs to load libvelmora.so and call it.
 *
 * Valid C (C11 or later) and C++. The module exports exactly two functions;
 * a host looks them up by name (dlopen/dlsym) or links the library directly.
 *
 * Calling convention: on 64-bit Linux there is one, the platform's; arguments
 * go by value in the order below and the 32-bit result comes back as an int.
 * Both functions always return 1: the host learns nothing from the result,
 * and no error ever leaves them (the module shows its own messages).
 *
 * Threading: call them from the thread that runs the host's user interface
 * only. The module uses the host's application object when there is one and
 * otherwise creates one for the length of the call.
 *
 * Host strings. The three text arguments are reference-counted UTF-16
 * strings passed as ONE pointer to their first code unit, with a 12-byte
 * header just before it:
 *
 *     offset -12  16 bits  code page, 1200 (UTF-16)
 *     offset -10  16 bits  element size, 2
 *     offset  -8  32 bits  reference count
 *     offset  -4  32 bits  length in UTF-16 code units (signed)
 *     offset   0           the code units, then a terminating 0
 *
 * A null pointer is the empty string. The module only reads the strings during
 * the call and copies them: it never frees one, never changes its reference
 * count and keeps no pointer after returning. The caller keeps them alive for
 * the duration of the call. Hosts not written in the host's own language can
 * build such strings with velmora_host_string() below.
 */
#ifndef VELMORA_H
#define VELMORA_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#ifndef __cplusplus
#include <uchar.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define VELMORA_API __attribute__((visibility("default")))
#else
#define VELMORA_API
#endif

/* A host string: the address of its first UTF-16 code unit, or null. */
typedef const char16_t *VelmoraHostString;

/* TipoDocumento below zero: the risk check is for the customer, with no document. */
#define VELMORA_SIN_DOCUMENTO (-1)

/*
 * The credit-risk check of a customer or of the sales document being entered.
 * RutaBaseDatos is the host database as the Firebird client accepts it
 * ("host:/path/db.fdb" or a plain file path); NombreUsuario and Password are
 * the database user's.
 */
VELMORA_API int32_t MostrarRiesgoCliente(int32_t IdEmpresa, int32_t IdGrupoEmpresa, int32_t IdUsuario,
                                         int32_t IdCliente, int32_t IDSerie, int32_t IdDocumento,
                                         int32_t TipoDocumento, VelmoraHostString RutaBaseDatos,
                                         VelmoraHostString NombreUsuario, VelmoraHostString Password);

/* The module's main screen: installation, risk groups, risk days and listings. */
VELMORA_API int32_t AbrirConfiguracionVelmora(int32_t IdEmpresa, int32_t IdGrupoEmpresa, int32_t IdUsuario,
                                              VelmoraHostString RutaBaseDatos, VelmoraHostString NombreUsuario,
                                              VelmoraHostString Password);

/* The same two functions as pointers, for hosts that look them up with dlsym. */
typedef int32_t (*VelmoraMostrarRiesgoClienteFn)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                                 VelmoraHostString, VelmoraHostString, VelmoraHostString);
typedef int32_t (*VelmoraAbrirConfiguracionVelmoraFn)(int32_t, int32_t, int32_t, VelmoraHostString,
                                                      VelmoraHostString, VelmoraHostString);

/* Bytes a buffer needs for a host string of `length` code units: header, units, terminating 0. */
#define VELMORA_HOST_STRING_SIZE(length) (12u + ((size_t)(length) + 1u) * 2u)

/*
 * Builds a host string of `length` UTF-16 code units in `buffer` (at least
 * VELMORA_HOST_STRING_SIZE(length) bytes, `buffer_size`), and stores in *out the
 * pointer to pass; an empty text gives a null pointer. Returns 0, or -1 when the
 * buffer is too small or the length negative (then *out is left alone). The
 * reference count is -1, the mark of a constant string nobody frees. The
 * buffer must outlive the call it is passed to.
 */
static inline int velmora_host_string(void *buffer, size_t buffer_size, const uint16_t *units, int32_t length,
                                      VelmoraHostString *out)
{
    const uint16_t code_page = 1200, element_size = 2;
    const int32_t references = -1;
    const uint16_t terminator = 0;
    unsigned char *p = (unsigned char *)buffer;
    if (length < 0 || buffer_size < VELMORA_HOST_STRING_SIZE(length))
        return -1;
    if (length == 0) {
        *out = NULL;
        return 0;
    }
    memcpy(p + 0, &code_page, 2);
    memcpy(p + 2, &element_size, 2);
    memcpy(p + 4, &references, 4);
    memcpy(p + 8, &length, 4);
    memmove(p + 12, units, (size_t)length * 2u);
    memcpy(p + 12 + (size_t)length * 2u, &terminator, 2);
    *out = (VelmoraHostString)(const void *)(p + 12);
    return 0;
}

/*
 * The same from a NUL-terminated ISO 8859-1 (or plain ASCII) text, whose bytes
 * are its UTF-16 code units: enough for paths and user names in that set.
 */
static inline int velmora_host_string_latin1(void *buffer, size_t buffer_size, const char *text,
                                             VelmoraHostString *out)
{
    const size_t length = text ? strlen(text) : 0;
    unsigned char *p = (unsigned char *)buffer;
    size_t i;
    if (length > (size_t)INT32_MAX || buffer_size < VELMORA_HOST_STRING_SIZE(length))
        return -1;
    /* Widen straight into the code units' place; the header goes in front of them. */
    for (i = 0; i < length; ++i) {
        const uint16_t unit = (unsigned char)text[i];
        memcpy(p + 12 + i * 2u, &unit, 2);
    }
    return velmora_host_string(buffer, buffer_size, (const uint16_t *)(const void *)(p + 12), (int32_t)length, out);
}

#ifdef __cplusplus
}
#endif

#endif /* VELMORA_H */
