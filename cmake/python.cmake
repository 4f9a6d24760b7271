# Finds the Python the module is built for and pybind11, then adds python/ when both are there.
# Debian's python3 is preferred: a python3 earlier on PATH (pyenv, a virtualenv) usually does not see
# the Debian packages python3-pybind11, python3-numpy and python3-pytest. Pass -DPython3_EXECUTABLE to
# build for another interpreter.
if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python3_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "Python interpreter the module is built for")
endif()
find_package(Python3 COMPONENTS Interpreter Development.Module)
if(Python3_FOUND)
  set(PYBIND11_FINDPYTHON ON)
  find_package(pybind11 CONFIG QUIET)
endif()
if(Python3_FOUND AND pybind11_FOUND)
  message(STATUS "Python module: building for ${Python3_EXECUTABLE} with pybind11 ${pybind11_VERSION}")
  add_subdirectory(python)
else()
  message(STATUS "Python module: not built (needs Python 3 with its headers and pybind11)")
endif()
