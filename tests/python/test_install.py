"""The source folder is a Python package: its wheel installs into a fresh virtual environment
and reads a take from outside the source tree."""

import os
import shutil
import subprocess
import sys

import pytest

import kfile
from conftest import ROOT


def copy_build_inputs(target):
    """The parts of the repository that building the package reads, without build leftovers."""
    target.mkdir()
    shutil.copy(ROOT / "CMakeLists.txt", target)
    ignore = shutil.ignore_patterns("build", "dist", "*.egg-info", "__pycache__")
    for folder in ("python", "kfile", "tools/kfile", "tools/export", "import"):
        shutil.copytree(ROOT / folder, target / folder, ignore=ignore)


@pytest.mark.skipif(os.environ.get("KFILE_SKIP_WHEEL") == "1",
                    reason="a sanitized build tests the module itself, not its packaging")
def test_wheel_installs_into_a_fresh_environment_and_reads_a_take(generate, tmp_path):
    source = tmp_path / "source"
    copy_build_inputs(source)
    env = {key: value for key, value in os.environ.items()
           if key not in ("LD_PRELOAD", "PYTHONPATH", "KFILE_PYTHON_DIR")}
    run = lambda *command, cwd=tmp_path: subprocess.run(  # noqa: E731
        [str(part) for part in command], cwd=cwd, env=env, check=True, capture_output=True,
        text=True)

    run(sys.executable, "-m", "build", "--wheel", "--no-isolation", "--outdir", tmp_path / "dist",
        source / "python")
    wheel, = (tmp_path / "dist").glob("kfile-*.whl")
    run(sys.executable, "-m", "venv", "--system-site-packages", tmp_path / "venv")
    python = tmp_path / "venv/bin/python"
    run(python, "-m", "pip", "install", "--no-index", "--no-deps", "--quiet", wheel)

    take = generate(frames=12, markers=3, segments=2)
    shown = run(python, "-c", "import kfile, sys; t = kfile.read(sys.argv[1]); "
                "print(kfile.__version__, kfile.__file__, t.datagroup('Markers').values.shape)",
                take).stdout.split(maxsplit=2)
    assert shown[0] == wheel.name.split("-")[1] == kfile.__version__
    assert shown[1].startswith(str(tmp_path / "venv"))
    assert shown[2].strip() == str(kfile.read(take).datagroup(0).values.shape)
