"""Truncated and hostile takes: a ReadError that says why and where, or a take read safely."""

import errno
import json
import os
import signal
import struct
import subprocess
import sys
import time
from pathlib import Path

import numpy as np
import pytest

import kfile
from conftest import FUZZ_FILES, TOOL
from kbytes import KBytes, datagroup_payload, dynamic_payload, record_body, take


def read_bytes(tmp_path, data):
    path = tmp_path / "hostile.K"
    path.write_bytes(bytes(data))
    return kfile.read(path)


# name, bytes, reason, offset, section
FAILURES = [
    ("three_bytes", b"K#\x01", "too_short", 3, ""),
    ("lower_case_magic", KBytes().raw(b"k#\x01\x00").terminator(), "bad_magic", 0, ""),
    ("header_only", KBytes().file_header(), "no_section_terminator", 4, ""),
    ("cut_inside_section_header", KBytes().file_header().pack("i", 0).raw(b"DA"),
     "section_cut_short", 4, ""),
    # Sections claiming 2 GB in a file of a few bytes.
    ("section_length_beyond_end",
     KBytes().file_header().section_header(0x7FFFFFFF, "MYSTERY").raw(b"\1\2\3"),
     "section_cut_short", 4, "MYSTERY"),
    ("datagroup_length_beyond_end",
     KBytes().file_header().section_header(0x7FFFFFFF, "DATAGROUP").pack("h", 0),
     "section_cut_short", 4, "DATAGROUP"),
    ("record_length_beyond_end",
     KBytes().file_header().section_header(40, "DATAGROUP").pack("h", 30000).raw(b"\1\2\3\4"),
     "section_cut_short", 4, "DATAGROUP"),
    ("second_section_cut",
     KBytes().file_header().section("PARAMETER", record_body([])).section_header(100, "notes")
     .raw(bytes(10)), "section_cut_short", 4 + 34, "notes"),
    # 3000 channels in 3 records of no values: the array would need 3000 cells where the
    # records hold 18 bytes.
    ("datagroup_exceeds_records",
     take([datagroup_payload(0, [""] * 3000)], [dynamic_payload(0, f) for f in range(3)]),
     "datagroup_exceeds_records", 4, "DATAGROUP"),
]


@pytest.mark.parametrize("data, reason, offset, section",
                         [case[1:] for case in FAILURES], ids=[case[0] for case in FAILURES])
def test_hostile_takes_raise_read_error_with_reason_and_place(tmp_path, data, reason, offset,
                                                              section):
    with pytest.raises(kfile.ReadError) as error:
        read_bytes(tmp_path, data)
    assert (error.value.reason, error.value.offset, error.value.section) == (reason, offset,
                                                                               section)
    assert error.value.path == str(tmp_path / "hostile.K")
    assert str(error.value).startswith(error.value.path + ": ")


def test_a_read_without_memory_raises_memory_error_not_read_error(tmp_path, monkeypatch):
    path = tmp_path / "take.K"
    path.write_bytes(b"K#\x01\x00")
    failed = {"error": ("no_memory", "there is not enough memory to hold the file", 0, "")}
    monkeypatch.setattr(kfile._kfile, "read", lambda name: failed)
    with pytest.raises(MemoryError, match="not enough memory"):
        kfile.read(path)


def test_every_cut_of_a_take_raises_before_the_records_and_reads_a_prefix_after(
        generate, tmp_path):
    full_path = generate(frames=5, markers=2, segments=1)
    data = full_path.read_bytes()
    full = kfile.read(full_path)
    widths = {kfile.ValueType.DOUBLE: 8, kfile.ValueType.FLOAT: 4}
    record_bytes = sum(len(d.frames) * (2 + 6 + widths[d.value_type] * len(d.labels))
                       for d in full.datagroups)
    records_start = len(data) - record_bytes
    record_ends = []
    position = records_start
    while position < len(data):
        position += 2 + struct.unpack_from("<h", data, position)[0]
        record_ends.append(position)
    for cut in range(len(data)):
        if cut < records_start:
            with pytest.raises(kfile.ReadError) as error:
                read_bytes(tmp_path, data[:cut])
            assert error.value.offset <= cut, cut
            continue
        part = read_bytes(tmp_path, data[:cut])
        for whole, datagroup in zip(full.datagroups, part.datagroups):
            rows = len(datagroup.frames)
            np.testing.assert_array_equal(datagroup.frames, whole.frames[:rows])
            np.testing.assert_array_equal(datagroup.values, whole.values[:rows])
        complete = sum(1 for end in record_ends if end <= cut)
        assert sum(len(d.frames) for d in part.datagroups) == complete
        whole_end = max([end for end in record_ends if end <= cut], default=records_start)
        assert part.report.incomplete_bytes == cut - whole_end
        assert [s.name for s in part.report.sections] == [s.name for s in full.report.sections]
    assert "incomplete" not in repr(full) and full.report.incomplete_bytes == 0
    assert repr(part).endswith(f", {cut - whole_end} bytes of an incomplete record dropped>")


def test_a_negative_record_length_ends_the_section_body_and_reading_goes_on(tmp_path):
    body = KBytes().framed(datagroup_payload(0, ["a <P-X>"])).pack("h", -5).raw(b"\xee" * 6)
    data = (KBytes().file_header().section("DATAGROUP", bytes(body))
            .section("PARAMETER", record_body([])).terminator()
            .framed(dynamic_payload(0, 1, struct.pack("<d", 2.5))))
    read = read_bytes(tmp_path, data)
    assert read.datagroup(0).labels == ["a <P-X>"]
    np.testing.assert_array_equal(read.datagroup(0).values, [[2.5]])


def test_records_shorter_than_their_channels_read_nan_where_values_are_absent(tmp_path):
    data = take([datagroup_payload(0, ["a", "b", "c"])],
                [dynamic_payload(0, 1, struct.pack("<dd", 1.0, 2.0) + b"\1\2"),
                 b"\x00\x00\x07", dynamic_payload(0, 2, b"")])
    datagroup = read_bytes(tmp_path, data).datagroup(0)
    np.testing.assert_array_equal(datagroup.frames, [1, 2])
    np.testing.assert_array_equal(datagroup.values, [[1.0, 2.0, np.nan], [np.nan] * 3])


# The inputs of the reader's and the import's fuzzers, every one a K-file or an attempt at one.
FUZZ_TAKES = [path
              for folder in ("seeds/takes", "corpus/read", "corpus/import", "regressions/read",
                             "regressions/import")
              for path in sorted((FUZZ_FILES / folder).iterdir())
              if path.is_file() and not path.name.startswith(".")]


@pytest.mark.parametrize("path", FUZZ_TAKES,
                         ids=lambda p: f"{p.parent.parent.name}/{p.parent.name}/{p.name}")
def test_fuzz_corpus_reads_or_raises_read_error(path):
    try:
        read = kfile.read(path)
    except kfile.ReadError as error:
        assert error.reason and error.offset <= path.stat().st_size
        return
    for datagroup in read.datagroups:
        assert datagroup.values.shape == (len(datagroup.frames), len(datagroup.labels))


def test_fuzz_corpus_is_there():
    assert len(FUZZ_TAKES) >= 5


class PathObject:
    """An os.PathLike of a kind the standard library does not know."""

    def __init__(self, path):
        self.path = path

    def __fspath__(self):
        return self.path


# Each kind of path that os functions take: str, one holding an undecodable byte as os.listdir
# gives it (a surrogate escape), bytes, pathlib and another os.PathLike.
PATH_KINDS = {
    "str": str,
    "surrogate_escape": lambda path: str(path) + os.fsdecode(b"-\xff\xe9"),
    "bytes": lambda path: os.fsencode(path),
    "pathlib": Path,
    "path_like": lambda path: PathObject(os.fsencode(path)),
}


@pytest.mark.parametrize("kind", PATH_KINDS)
def test_every_kind_of_path_reads_and_writes(tmp_path, kind):
    path = PATH_KINDS[kind](tmp_path / "take.K")
    take_ = kfile.Take(datagroups=[kfile.Datagroup(labels=["x"], rate=10, frames=[1],
                                                   values=[[2.0]])])
    kfile.write(path, take_)
    assert kfile.read(path) == take_
    assert os.path.isfile(path)


@pytest.mark.parametrize("kind", PATH_KINDS)
def test_a_path_that_cannot_be_read_or_written_raises_os_error_with_errno_and_filename(
        tmp_path, kind):
    for name, make, error_type, number in [("missing.K", None, FileNotFoundError, errno.ENOENT),
                                           ("folder.K", os.mkdir, IsADirectoryError, errno.EISDIR),
                                           ("fifo.K", os.mkfifo, OSError, errno.EINVAL)]:
        path = PATH_KINDS[kind](tmp_path / name)
        if make:
            make(path)
        with pytest.raises(error_type) as error:
            kfile.read(path)
        assert (error.value.errno, error.value.filename) == (number, os.fspath(path))
    path = PATH_KINDS[kind](tmp_path / "no-such-folder" / "take.K")
    with pytest.raises(FileNotFoundError) as error:
        kfile.write(path, kfile.Take())
    assert (error.value.errno, error.value.filename) == (errno.ENOENT, os.fspath(path))


@pytest.mark.parametrize("data", [case[1] for case in FAILURES[:4]] + [
    take([datagroup_payload(0, ["Bob:A <P-X>", "odd"], rate=0.0)],
         [dynamic_payload(0, 2, struct.pack("<dd", 1, 2)), dynamic_payload(0, 1, b"\1")]),
], ids=[case[0] for case in FAILURES[:4]] + ["zero_rate_short_record_frame_order"])
def test_validate_finds_what_the_command_finds(tmp_path, data):
    path = tmp_path / "take.K"
    path.write_bytes(bytes(data))
    command = subprocess.run([str(TOOL), "validate", str(path), "--json"], capture_output=True,
                             text=True)
    expected = [(f["check"], f["severity"] == "problem", f["section"],
                 None if f.get("record", -1) in (None, -1) else f["record"], f["offset"],
                 f["message"]) for f in json.loads(command.stdout)["findings"]]
    found = kfile.validate(path)
    assert [(f.check, f.problem, f.section, f.record, f.offset, f.message) for f in found] == \
        expected
    assert any(f.problem for f in found) and command.returncode == 1


def test_validate_checks_a_take_as_written(generate):
    take_ = kfile.read(generate(frames=6))
    assert not any(f.problem for f in kfile.validate(take_))
    take_.datagroup(0).rate = 0.5  # keyed at its own rate, between the scene's frames
    found = kfile.validate(take_)
    assert not any(f.problem for f in found) and "rate" in [f.check for f in found]


def test_validate_of_a_take_read_from_a_cut_file_reports_the_cut_record(generate, tmp_path):
    data = generate(frames=6).read_bytes()
    cut = tmp_path / "cut.K"
    cut.write_bytes(data[:len(data) - 5])
    [from_file] = [f for f in kfile.validate(cut) if f.check == "truncated-record"]
    take_ = kfile.read(cut)
    [from_take] = [f for f in kfile.validate(take_) if f.check == "truncated-record"]
    assert from_take.problem and from_take.offset == from_file.offset == \
        take_.report.incomplete_offset
    assert f"its {take_.report.incomplete_bytes} bytes were dropped" in from_take.message


@pytest.mark.parametrize("ending", ["size_limit", "sigterm"])
def test_a_write_that_fails_or_is_ended_leaves_the_old_file_and_no_temporary(
        tmp_path, python_env, ending):
    path = tmp_path / "take.K"
    path.write_bytes(b"old")
    limit = "resource.setrlimit(resource.RLIMIT_FSIZE, (4096, 4096))" if ending == "size_limit" \
        else "pass"
    script = f"""
import errno, resource, sys, numpy as np, kfile
{limit}
frames = 1_000_000 if sys.argv[2] == "sigterm" else 1000
take = kfile.Take(datagroups=[kfile.Datagroup(labels=list("abcdefgh"), rate=100,
                                              frames=np.arange(frames), values=np.ones((frames, 8)))])
try:
    kfile.write(sys.argv[1], take)
except OSError as error:
    sys.exit(0 if error.errno == errno.EFBIG else 3)
sys.exit(4)
"""
    child = subprocess.Popen([sys.executable, "-c", script, str(path), ending], env=python_env)
    if ending == "sigterm":
        while child.poll() is None and not list(tmp_path.glob(".take.K.*.tmp")):
            time.sleep(0.01)
        child.send_signal(signal.SIGTERM)
    assert child.wait(timeout=60) == (-signal.SIGTERM if ending == "sigterm" else 0)
    assert sorted(p.name for p in tmp_path.iterdir()) == ["take.K"]
    assert path.read_bytes() == b"old"
