/* SPDX-License-Identifier: MIT */
/* Export and calling-convention macros shared by every public header of libgef (macros only:
 * no source implements it). */
#ifndef GEF_EXPORT_H
#define GEF_EXPORT_H

/* GEF_API marks a function exported from the shared library. Building the
 * library defines GEF_BUILDING; users of the DLL get dllimport on Windows. */
#if defined(_WIN32) || defined(__CYGWIN__)
#if defined(GEF_BUILDING)
#define GEF_API __declspec(dllexport)
#elif defined(GEF_STATIC)
#define GEF_API
#else
#define GEF_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define GEF_API __attribute__((visibility("default")))
#else
#define GEF_API
#endif

#ifdef __cplusplus
#define GEF_EXTERN_C_BEGIN extern "C" {
#define GEF_EXTERN_C_END }
#else
#define GEF_EXTERN_C_BEGIN
#define GEF_EXTERN_C_END
#endif

#endif /* GEF_EXPORT_H */
