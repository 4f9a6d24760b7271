# Builds the Python package with CMake: the extension tintvale._tintvale, the package files of
# python/tintvale and the shipped data inside the package. The version is the project's, read from
# CMakeLists.txt. CMAKE_ARGS adds options to the CMake run (a compiler launcher, say).
import os
import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent
VERSION = re.search(r"project\(Tintvale VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text()).group(1)


def step(text):
    # On standard error, unbuffered, so that it reaches the terminal (pip install -v) or the log at once.
    print(f"tintvale: {text}", file=sys.stderr, flush=True)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = pathlib.Path(self.build_temp).resolve() / "cmake"
        configure = ["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                     "-DTINTVALE_BUILD_TESTS=OFF", f"-DPython3_EXECUTABLE={sys.executable}"]
        step(f"configuring with CMake in {build}")
        subprocess.run(configure + os.environ.get("CMAKE_ARGS", "").split(), check=True)
        jobs = str(self.parallel or os.cpu_count() or 1)
        step(f"compiling the extension on {jobs} jobs (Ninja prints [done/total] per file)")
        subprocess.run(["cmake", "--build", str(build), "--target", "tintvale_python", "--parallel", jobs], check=True)
        step("copying the extension and the shipped data into the package")
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(build / "python" / "tintvale" / target.name, target)
        for data in ("illuminants", "samples", "tolerances"):
            shutil.copytree(ROOT / "data" / data, target.parent / "data" / data, dirs_exist_ok=True)


setup(
    version=VERSION,
    packages=["tintvale"],
    package_dir={"": "python"},
    package_data={"tintvale": ["__init__.pyi", "py.typed"]},
    ext_modules=[Extension("tintvale._tintvale", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    # Apart from the CMake build directory ./build.
    options={"build": {"build_base": "build-python"}, "egg_info": {"egg_base": "build-python"}},
)
