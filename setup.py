"""Builds the extension robosim._robosim for pip with the project's CMake build (the target
robosim_python alone, for the interpreter pip runs), then lets setuptools package it."""
import os
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = Path(self.build_temp).resolve() / "cmake"
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                        f"-DPython3_EXECUTABLE={sys.executable}", "-DBUILD_TESTING=OFF"],
                       check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "robosim_python", "-j",
                        str(os.cpu_count() or 1)], check=True)
        (built,) = (build / "python" / "robosim").glob("_robosim*.so")
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(ext_modules=[Extension("robosim._robosim", sources=[])], cmdclass={"build_ext": CMakeBuild})
