// Export macro for the public surface of the tintvale shared library.
#ifndef TINTVALE_TEXPORT_H
#define TINTVALE_TEXPORT_H

#if defined(TINTVALE_STATIC)
#define TINTVALE_API
#elif defined(_WIN32)
#if defined(TINTVALE_BUILDING)
#define TINTVALE_API __declspec(dllexport)
#else
#define TINTVALE_API __declspec(dllimport)
#endif
#else
#define TINTVALE_API __attribute__((visibility("default")))
#endif

// Members of exported classes whose signatures name internal types stay out of the exported surface.
#if defined(_WIN32) || defined(TINTVALE_STATIC)
#define TINTVALE_LOCAL
#else
#define TINTVALE_LOCAL __attribute__((visibility("hidden")))
#endif

#endif
