// Helpers for the illuminant tests: open constructors, temporary directories and file images.
#ifndef TINTVALE_TESTS_ILLUMINANT_TEST_SUPPORT_H
#define TINTVALE_TESTS_ILLUMINANT_TEST_SUPPORT_H

#include <tintvale/tilluminant.h>
#include <tintvale/tspectrum.h>

#include <boost/filesystem.hpp>

#include <fstream>
#include <iterator>
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

// A fresh directory under the system's temporary directory, removed with its contents.
class TempDir {
public:
    TempDir()
        : mPath(boost::filesystem::temp_directory_path()
            / boost::filesystem::unique_path("tintvale-%%%%-%%%%-%%%%"))
    {
        boost::filesystem::create_directories(mPath);
    }
    ~TempDir()
    {
        boost::system::error_code ignored;
        boost::filesystem::remove_all(mPath, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return (mPath / name).string(); }
    const boost::filesystem::path& Path() const { return mPath; }

private:
    boost::filesystem::path mPath;
};

inline void WriteBytes(const std::string& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A uniform spectrum with sample i = first + step * i.
inline TSpectrum Ramp(double first, double step)
{
    double samples[36];
    for (int i = 0; i < 36; ++i)
        samples[i] = first + step * i;
    return TSpectrum(samples);
}

#endif
