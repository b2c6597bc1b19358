"""Speed of reading a take into NumPy arrays against the C++ library's read of the same take.

Both reads run in this one process, interleaved, on one generated take; the report gives the
median processor time of each and their ratio (C++ time / NumPy time: 1.0 means the arrays cost nothing
beyond the library's read). With --require-goal the exit status is 1 when the NumPy read runs
at less than half the speed of the C++ read.

    cmake --preset release && cmake --build --preset release
    /usr/bin/python3 python/bench/read_benchmark.py            # uses build/release
"""

import argparse
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
GOAL = 0.5


def seconds(function, path):
    """Processor time of one call: unlike the wall clock, it leaves out the time this process
    waits while other processes run, which on a shared machine is most of the noise."""
    start = time.process_time()
    function(path)
    return time.process_time() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", type=Path, default=ROOT / "build/release")
    parser.add_argument("--frames", type=int, default=6000)
    parser.add_argument("--markers", type=int, default=50)
    parser.add_argument("--segments", type=int, default=20)
    parser.add_argument("--repeat", type=int, default=15)
    parser.add_argument("--require-goal", action="store_true",
                        help=f"exit with status 1 when the ratio is below {GOAL}")
    options = parser.parse_args()
    sys.path.insert(0, str(options.build / "python"))
    import kfile
    from kfile import _kfile

    with tempfile.TemporaryDirectory() as folder:
        path = str(Path(folder) / "bench.K")
        subprocess.run([str(options.build / "tools/kfile/kfile"), "generate", path,
                        "--frames", str(options.frames), "--markers", str(options.markers),
                        "--segments", str(options.segments)], check=True,
                       stdout=subprocess.DEVNULL)
        size = Path(path).stat().st_size
        kfile.read(path)  # warm the page cache and the allocator
        library, arrays = [], []
        for _ in range(options.repeat):  # interleaved, so that both see the same machine load
            library.append(seconds(_kfile.read_contents_only, path))
            arrays.append(seconds(kfile.read, path))
    library, arrays = statistics.median(library), statistics.median(arrays)
    ratio = library / arrays
    print(f"take: {size / 1e6:.1f} MB, {options.frames} frames, {options.markers} markers, "
          f"{options.segments} segments")
    print(f"C++ library read:      {library * 1e3:8.1f} ms  {size / library / 1e6:7.1f} MB/s")
    print(f"read into NumPy:       {arrays * 1e3:8.1f} ms  {size / arrays / 1e6:7.1f} MB/s")
    print(f"speed ratio (C++ time / NumPy time): {ratio:.2f}, goal at least {GOAL}")
    return 1 if options.require_goal and ratio < GOAL else 0


if __name__ == "__main__":
    sys.exit(main())
