// Export macro for the public surface of the tintvale_qc shared library.
#ifndef TINTVALE_QC_EXPORT_H
#define TINTVALE_QC_EXPORT_H

#if defined(TINTVALE_QC_STATIC)
#define TINTVALE_QC_API
#elif defined(_WIN32)
#if defined(TINTVALE_QC_BUILDING)
#define TINTVALE_QC_API __declspec(dllexport)
#else
#define TINTVALE_QC_API __declspec(dllimport)
#endif
#else
#define TINTVALE_QC_API __attribute__((visibility("default")))
#endif

#endif
