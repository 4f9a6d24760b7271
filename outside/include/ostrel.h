// Ostrel: conversion between UTF-8 names and file-system paths.
#ifndef OUTSIDE_OSTREL_H
#define OUTSIDE_OSTREL_H

#include <boost/filesystem/path.hpp>
#include <string>

namespace Ostrel {
boost::filesystem::path FromUTF8String(const std::string& utf8);
std::string ToUTF8String(const boost::filesystem::path& path);
} // namespace Ostrel

#endif
