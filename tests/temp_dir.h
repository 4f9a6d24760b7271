// A scratch directory for tests that write files, removed with everything in it at scope end.
#ifndef TINTVALE_TESTS_TEMP_DIR_H
#define TINTVALE_TESTS_TEMP_DIR_H

#include <boost/filesystem.hpp>

#include <fstream>
#include <iterator>
#include <string>

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

    // The directory with a trailing separator, ready to have a file name appended.
    std::string Dir() const { return mPath.string() + "/"; }
    std::string File(const std::string& name) const { return (mPath / name).string(); }
    const boost::filesystem::path& Path() const { return mPath; }

    static void Write(const std::string& path, const std::string& content)
    {
        std::ofstream(path, std::ios::binary) << content;
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }

private:
    boost::filesystem::path mPath;
};

#endif
