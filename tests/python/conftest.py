"""Finds the kfile package and the kfile command of a build, and makes takes for the tests.

ctest passes the build's paths in KFILE_PYTHON_DIR and KFILE_TOOL; run by hand, pytest looks in
build/ci.
"""

import os
import subprocess
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
PYTHON_DIR = Path(os.environ.get("KFILE_PYTHON_DIR", ROOT / "build/ci/python"))
TOOL = Path(os.environ.get("KFILE_TOOL", ROOT / "build/ci/tools/kfile/kfile"))
FUZZ_FILES = Path(os.environ.get("KFILE_FUZZ_FILES", ROOT / "tests/fuzz"))

sys.path.insert(0, str(PYTHON_DIR))
sys.path.insert(0, str(Path(__file__).parent))  # kbytes


@pytest.fixture
def generate(tmp_path):
    """Writes a synthetic take with `kfile generate` and answers its path."""

    def make(name="take.K", **options):
        path = tmp_path / name
        arguments = []
        for option, value in options.items():
            arguments += ["--" + option.replace("_", "-"), str(value)]
        subprocess.run([str(TOOL), "generate", str(path), *arguments], check=True,
                       stdout=subprocess.DEVNULL)
        return path

    return make


@pytest.fixture
def python_env():
    """The environment for a child Python that imports this build's kfile package."""
    env = dict(os.environ)
    env["PYTHONPATH"] = os.pathsep.join(filter(None, [str(PYTHON_DIR), env.get("PYTHONPATH")]))
    return env
