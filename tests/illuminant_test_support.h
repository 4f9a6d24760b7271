// Helpers for the illuminant tests: open constructors, temporary directories and file images.
#ifndef TINTVALE_TESTS_ILLUMINANT_TEST_SUPPORT_H
#define TINTVALE_TESTS_ILLUMINANT_TEST_SUPPORT_H

#include <tintvale/tilluminant.h>
#include <tintvale/tspectrum.h>

#include "temp_dir.h"
#include "test_support.h"

#include <string>
#include <vector>

// Opens the protected constructors and file operations to the tests.
struct OpenIlluminant : TIlluminant {
    OpenIlluminant(const TSpectrum& s, const char* name)
        : TIlluminant(s, name)
    { }
    explicit OpenIlluminant(const char* fileName)
        : TIlluminant(fileName)
    { }
    explicit OpenIlluminant(void* image)
        : TIlluminant(image)
    { }
    using TIlluminant::ReadFrom;
    using TIlluminant::Save;
};

#endif
