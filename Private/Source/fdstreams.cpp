// fdifstream and fdofstream: standard streams that own a descriptor stream buffer.
#include <tintvale/streambufext.h>

fdifstream::fdifstream(const char* name, int mode)
    : std::basic_istream<char>(nullptr)
    , mBuffer(name, mode | std::ios_base::in)
{
    rdbuf(&mBuffer);
    if (mBuffer.openfile() != 0)
        setstate(std::ios_base::failbit);
}

int fdifstream::close() { return mBuffer.closefile(); }

fdofstream::fdofstream(const char* name, int mode)
    : std::basic_ostream<char>(nullptr)
    , mBuffer(name, mode | std::ios_base::out)
{
    rdbuf(&mBuffer);
    if (mBuffer.openfile() != 0)
        setstate(std::ios_base::failbit);
}

int fdofstream::close() { return mBuffer.closefile(); }
