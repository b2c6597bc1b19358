"""Builds the extension kfile._kfile for pip and build (see pyproject.toml).

The extension's own sources are listed once, in sources.txt, which the CMake build reads too;
the kfile library is compiled in from every source of kfile/src. The version is the project's,
from the top-level CMakeLists.txt.
"""

import re
from pathlib import Path

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension
from setuptools import setup

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent


def extension_sources() -> list[str]:
    lines = (HERE / "sources.txt").read_text().splitlines()
    listed = [ROOT / line.strip() for line in lines if line.strip() and not line.startswith("#")]
    library = sorted((ROOT / "kfile/src").glob("*.cpp"))
    return [str(path) for path in listed + library]


def project_version() -> str:
    cmake = (ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(\s*\w+\s+VERSION\s+([0-9.]+)", cmake).group(1)


VERSION = project_version()
ParallelCompile("KFILE_BUILD_JOBS").install()
setup(
    version=VERSION,
    ext_modules=[
        Pybind11Extension(
            "kfile._kfile",
            extension_sources(),
            include_dirs=[str(ROOT / folder) for folder in
                          ("kfile/include", "tools/kfile", "tools/export", ".")],
            define_macros=[("KFR_VERSION", f'"{VERSION}"')],
            extra_compile_args=["-g0"],  # a smaller wheel, built sooner
            cxx_std=17,
        )
    ],
)
