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

#endif
