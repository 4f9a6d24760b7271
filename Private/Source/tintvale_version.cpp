// The version of the built library, from the generated header of the same build.
#include <tintvale/version.h>

const char* TintvaleGetVersion(int* major, int* minor, int* patch)
{
    if (major)
        *major = TINTVALE_VERSION_MAJOR;
    if (minor)
        *minor = TINTVALE_VERSION_MINOR;
    if (patch)
        *patch = TINTVALE_VERSION_PATCH;
    return TINTVALE_VERSION_STRING;
}
