"""Takes through arrays: reading, writing, round trips and the missing-value markers."""

import csv
import io
import re
import struct
import subprocess

import numpy as np
import pytest

import kfile
from conftest import TOOL
from kbytes import KBytes, datagroup_payload, dynamic_payload, record_body, take
from kfile import Datagroup, Parameter, Take, ValueType

NAN = float("nan")

# Per value type: width, struct format, the marker's bytes, and present values it can hold.
TYPES = {
    ValueType.SHORT: (2, "h", b"\xff\xff", [-32768, 0, 7, 32767]),
    ValueType.LONG: (4, "i", b"\xff" * 4, [-(2**31), 0, 123456, 2**31 - 1]),
    ValueType.FLOAT: (4, "f", struct.pack("<I", 0x4F800000), [-2.25, 0.0, 1.5, 1e30]),
    ValueType.DOUBLE: (8, "d", struct.pack("<Q", 0x43F0000000000000), [-1.0, 0.1, 1e300, -0.0]),
    ValueType.BOOLEAN: (1, "?", b"\xff", [0, 1, 1, 0]),
}


def write_bytes(tmp_path, data, name="take.K"):
    path = tmp_path / name
    path.write_bytes(data)
    return path


def test_generated_take_matches_the_export_command_and_rewrites_to_the_same_bytes(
        generate, tmp_path):
    path = generate(frames=50, markers=5, segments=3, first_frame=10, missing_every=7)
    take_ = kfile.read(path)

    assert take_.version == 1
    assert [d.id for d in take_.datagroups] == [0, 1, 2]
    assert take_.parameters["FRAMES"].values.tolist() == [10, 59]
    assert take_.parameters["SUBJECTS"].values == ["Bob1", "Ann"]
    assert [section.name for section in take_.unknown_sections] == ["TAKEINFO"]
    for datagroup in take_.datagroups:
        export = subprocess.run([str(TOOL), "export", str(path), str(datagroup.id)], check=True,
                                capture_output=True, text=True).stdout
        rows = list(csv.reader(io.StringIO(export)))
        assert rows[0][:2] == ["frame", "time"]
        assert rows[0][2:] == datagroup.labels
        cells = [[float(cell) if cell else NAN for cell in row] for row in rows[1:]]
        expected = np.array(cells)
        np.testing.assert_array_equal(datagroup.frames, expected[:, 0])
        np.testing.assert_allclose(datagroup.times, expected[:, 1])
        np.testing.assert_allclose(datagroup.values, expected[:, 2:], atol=1e-6)
    assert np.isnan(take_.datagroup(0).values).any()
    assert take_.datagroup(0).values.flags.c_contiguous
    np.testing.assert_allclose(take_.datagroup(1).times, np.arange(10, 60) / 120.0)
    assert take_.datagroup(2).rate == 120.0

    copy = tmp_path / "copy.K"
    kfile.write(copy, take_)
    assert copy.read_bytes() == path.read_bytes()


@pytest.mark.parametrize("fmt", ["c3d", "trc"])
def test_exports_are_the_bytes_of_the_export_command(generate, tmp_path, fmt):
    path = generate(frames=30, markers=3, segments=2, missing_every=5)
    take_ = kfile.read(path)
    mine = tmp_path / f"mine.{fmt}"
    left_out = getattr(take_, f"to_{fmt}")(mine)
    theirs = tmp_path / f"theirs.{fmt}"
    run = subprocess.run([str(TOOL), "export", str(path), "-f", fmt, "-o", str(theirs)],
                         check=True, capture_output=True, text=True)
    # The first line of a TRC file names the file itself.
    assert mine.read_bytes().replace(b"mine", b"theirs") == theirs.read_bytes()
    assert [f"kfile: '{path}': left out {line}" for line in left_out] == run.stderr.splitlines()

    markers = take_.datagroup(0)
    edited = Take(datagroups=[Datagroup(id=0, name="M", value_type=ValueType.DOUBLE, rate=29.97,
                                        labels=markers.labels[:3], frames=markers.frames,
                                        values=markers.values[:, :3])])
    assert edited.to_c3d(tmp_path / "edited.c3d") == []
    assert struct.unpack_from("<HHHHH", (tmp_path / "edited.c3d").read_bytes()) == (
        0x5002, 1, 0, 1, 30)
    with pytest.raises(ValueError, match="has no datagroup with markers or segments"):
        forces = take_.datagroup(2)
        Take(datagroups=[Datagroup(id=0, name="F", value_type=forces.value_type, rate=forces.rate,
                                   labels=forces.labels, frames=forces.frames,
                                   values=forces.values)]).to_c3d(tmp_path / "forces.c3d")
    with pytest.raises(OSError):
        edited.to_trc(tmp_path / "missing" / "folder.trc")


@pytest.mark.parametrize("value_type", list(TYPES), ids=lambda t: t.name)
def test_markers_read_as_nan_and_nan_writes_the_marker(tmp_path, value_type):
    width, fmt, marker, present = TYPES[value_type]
    labels = [f"c{i}" for i in range(len(present) + 1)]
    value_bytes = struct.pack("<" + fmt * len(present), *present) + marker
    data = take([datagroup_payload(0, labels, value_type, width, rate=60.0)],
                [dynamic_payload(0, 5, value_bytes), dynamic_payload(0, 6, marker * len(labels))])
    path = write_bytes(tmp_path, data)

    datagroup = kfile.read(path).datagroup(0)
    assert datagroup.value_type == value_type
    np.testing.assert_array_equal(datagroup.frames, [5, 6])
    np.testing.assert_array_equal(datagroup.values[0, :-1], np.float32(present)
                                  if value_type == ValueType.FLOAT else present)
    assert np.isnan(datagroup.values[0, -1]) and np.isnan(datagroup.values[1]).all()

    copy = tmp_path / "copy.K"
    kfile.write(copy, kfile.read(path))
    assert copy.read_bytes() == data


def test_unknown_sections_are_kept_and_written_back_in_their_places(tmp_path):
    groups = record_body([datagroup_payload(0, ["x"])])
    data = bytes(KBytes().file_header().section("Notes", b"\xff\x00")
                 .section("DATAGROUP", groups).section("N" * 28, b"0123456789")
                 .section("Notes", b"2").terminator()
                 .framed(dynamic_payload(0, 1, struct.pack("<d", 2.5))))
    read = kfile.read(write_bytes(tmp_path, data))
    assert [(s.name, s.body, s.index, s.size) for s in read.unknown_sections] == [
        ("Notes", b"\xff\x00", 0, 2), ("N" * 28, b"0123456789", 2, 10), ("Notes", b"2", 3, 1)]
    assert read.unknown_sections[1].offset == 4 + 32 + 2 + 32 + len(groups)
    kfile.write(tmp_path / "copy.K", read)
    assert (tmp_path / "copy.K").read_bytes() == data

    # Added at a place beyond the others: written last.
    read.unknown_sections.append(kfile.UnknownSection(name="Extra", body=b"!", index=99))
    kfile.write(tmp_path / "more.K", read)
    assert [s.name for s in kfile.read(tmp_path / "more.K").unknown_sections][-1] == "Extra"


@pytest.mark.parametrize("section, message", [
    (kfile.UnknownSection(name="datagroup", body=b"x", index=0), "belongs to a section"),
    (kfile.UnknownSection(name="N" * 29, body=b"x", index=0), "at most 28 characters"),
    (kfile.UnknownSection(name="Empty", body=b"", index=0), "1 to 2147483647 bytes"),
])
def test_unknown_sections_the_layout_cannot_hold_are_refused(tmp_path, section, message):
    with pytest.raises(ValueError, match=message):
        kfile.write(tmp_path / "refused.K", Take(unknown_sections=[section]))
    assert not (tmp_path / "refused.K").exists()


def test_only_the_exact_marker_pattern_is_missing(tmp_path):
    near_marker = struct.pack("<Q", 0x43F0000000000001)
    data = take([datagroup_payload(0, ["a", "b"])],
                [dynamic_payload(0, 1, near_marker + struct.pack("<d", float("inf")))])
    values = kfile.read(write_bytes(tmp_path, data)).datagroup(0).values
    assert values[0, 0] == struct.unpack("<d", near_marker)[0]
    assert values[0, 1] == float("inf")


@pytest.mark.parametrize("value_type", list(TYPES), ids=lambda t: t.name)
def test_take_built_from_arrays_reads_back_equal(tmp_path, value_type):
    present = TYPES[value_type][3]
    values = np.array([present, present[::-1], [NAN] * 4], dtype=np.float64)
    if value_type == ValueType.FLOAT:
        values = values.astype(np.float32).astype(np.float64)
    built = Take(
        version=3,
        datagroups=[
            Datagroup(id=0, name="Typed", value_type=value_type, rate=50, labels=list("abcd"),
                      frames=[-2, 0, 7], values=values),
            Datagroup(id=1, labels=["Ann:X <P-X>"], rate=100.5, frames=np.arange(0, 10, 2),
                      values=np.linspace(0, 1, 5)[:, None]),
            Datagroup(id=2, labels=[], rate=1, frames=[], values=np.empty((0, 0))),
        ],
        parameters={"N": Parameter(value_type=ValueType.LONG, values=[1, 2, 3])},
    )
    path = tmp_path / "built.K"
    kfile.write(path, built)
    assert kfile.read(path) == built


def test_rows_follow_their_frames_and_records_their_times(tmp_path):
    built = Take(datagroups=[Datagroup(labels=["x"], rate=10, frames=[30, 10, 20],
                                       values=[[3.0], [1.0], [2.0]]),
                             Datagroup(id=1, labels=[], rate=5, frames=[10, 5],
                                       values=np.empty((2, 0)))])
    kfile.write(tmp_path / "t.K", built)
    read = kfile.read(tmp_path / "t.K")
    np.testing.assert_array_equal(read.datagroup(0).frames, [10, 20, 30])
    np.testing.assert_array_equal(read.datagroup(0).values[:, 0], [1.0, 2.0, 3.0])
    assert read.record_order.tolist() == [[0, 10], [1, 5], [0, 20], [1, 10], [0, 30]]

    # A read take keeps its order; rows it did not hold follow in time order.
    read.record_order = read.record_order[::-1]
    read.datagroup(0).frames = np.array([10, 20, 3])
    kfile.write(tmp_path / "t.K", read)
    assert kfile.read(tmp_path / "t.K").record_order.tolist() == [
        [1, 10], [0, 20], [1, 5], [0, 10], [0, 3]]


def test_unordered_and_repeated_frames_read_one_row_per_frame(tmp_path):
    records = [dynamic_payload(0, frame, struct.pack("<d", value))
               for frame, value in [(3, 30.0), (1, 10.0), (3, 31.0), (2, 20.0)]]
    records.append(dynamic_payload(9, 1, struct.pack("<d", 5.0)))  # no datagroup 9
    records.append(dynamic_payload(0, 4))  # a record without values
    data = take([datagroup_payload(0, ["x"])], records)
    datagroup = kfile.read(write_bytes(tmp_path, data)).datagroup(0)
    np.testing.assert_array_equal(datagroup.frames, [1, 2, 3, 4])
    np.testing.assert_array_equal(datagroup.values[:, 0], [10.0, 20.0, 30.0, NAN])


@pytest.mark.parametrize("value_type, value, message", [
    (ValueType.SHORT, 1.5, "not a whole number"),
    (ValueType.SHORT, 40000, "out of the type's range"),
    (ValueType.SHORT, -1, "missing-value marker"),
    (ValueType.LONG, -1, "missing-value marker"),
    (ValueType.LONG, 2.0**31, "out of the type's range"),
    (ValueType.FLOAT, 2.0**32, "missing-value marker"),
    (ValueType.FLOAT, 1e300, "out of the type's range"),
    (ValueType.DOUBLE, 2.0**64, "missing-value marker"),
    (ValueType.BOOLEAN, 2, "neither 0 nor 1"),
])
def test_values_a_type_cannot_hold_are_refused_and_nothing_is_written(
        tmp_path, value_type, value, message):
    datagroup = Datagroup(id=0, value_type=value_type, labels=["ok", "bad"], rate=1,
                          frames=[8], values=[[0, value]])
    path = tmp_path / "refused.K"
    with pytest.raises(ValueError, match=rf"datagroup 0, frame 8, channel 'bad': .*{message}"):
        kfile.write(path, Take(datagroups=[datagroup]))
    assert not path.exists()


@pytest.mark.parametrize("datagroups, message", [
    ([Datagroup(labels=["a"], rate=1, frames=[1, 1], values=[[1], [2]])], "appears twice"),
    ([Datagroup(id=1, labels=[], rate=1, frames=[], values=np.empty((0, 0)))] * 2,
     "two datagroups have the id 1"),
    ([Datagroup(id=2**70, labels=[], rate=1, frames=[], values=np.empty((0, 0)))],
     "datagroup id 1180591620717411303424 is out of range"),
    ([Datagroup(value_type=ValueType.TEXT, labels=[], rate=1, frames=[],
                values=np.empty((0, 0)))], "no numbers to write"),
    ([Datagroup(labels=["x" * 255], rate=1, frames=[], values=np.empty((0, 1)))],
     "at most 254 characters"),
    ([Datagroup(labels=["c"] * 4096, rate=1, frames=[], values=np.empty((0, 4096)))],
     "do not fit one record"),
    *[([Datagroup(id=0, labels=[], rate=rate, frames=[], values=np.empty((0, 0)))],
       f"datagroup 0: rate {re.escape(str(rate))} is not a positive finite number")
      for rate in (0.0, -100.0, NAN, float("inf"), 1e300, 1e-50)],
    ([Datagroup(id=i, labels=[], rate=1, frames=[], values=np.empty((0, 0))) for i in (2, 1)],
     "none with id 0; their ids are 2, 1"),
])
def test_datagroups_the_format_cannot_hold_are_refused(tmp_path, datagroups, message):
    with pytest.raises(ValueError, match=message):
        kfile.write(tmp_path / "refused.K", Take(datagroups=datagroups))
    assert not (tmp_path / "refused.K").exists()


def test_arrays_changed_after_construction_are_checked_when_written(tmp_path):
    datagroup = Datagroup(labels=["x"], rate=1, frames=[1], values=[[1.0]])
    datagroup.frames = np.array([1.5])
    with pytest.raises(ValueError, match="frames must be whole numbers"):
        kfile.write(tmp_path / "t.K", Take(datagroups=[datagroup]))
    datagroup.frames, datagroup.values = np.array([1]), np.zeros((1, 2))
    with pytest.raises(ValueError, match=r"frames x channels array \(1 x 1\)"):
        kfile.write(tmp_path / "t.K", Take(datagroups=[datagroup]))


@pytest.mark.parametrize("arguments, message", [
    (dict(frames=[1, 2], values=[[1.0]]), "frames x channels"),
    (dict(frames=[[1]], values=[[1.0]]), "one-dimensional"),
    (dict(frames=[0.5], values=[[1.0]]), "whole numbers"),
    (dict(frames=[2**31], values=[[1.0]]), "32 bits"),
])
def test_datagroup_arrays_must_agree(arguments, message):
    with pytest.raises(ValueError, match=message):
        Datagroup(labels=["x"], rate=1, **arguments)


def test_text_is_latin1_both_ways(tmp_path):
    raw_label = bytes([0x4D, 0xE9, 0xFF, 0x80]) + b" <P-X>"  # not UTF-8
    data = take([datagroup_payload(0, [raw_label], name="Gr\xfcppe")], [])
    read = kfile.read(write_bytes(tmp_path, data)).datagroup(0)
    assert read.labels == [raw_label.decode("latin-1")] and read.name == "Gr\u00fcppe"
    copy = tmp_path / "copy.K"
    kfile.write(copy, kfile.read(tmp_path / "take.K"))
    assert copy.read_bytes() == data

    euro = Take(datagroups=[Datagroup(labels=["\u20ac"], rate=1, frames=[], values=np.empty((0, 1)))])
    with pytest.raises(UnicodeEncodeError):
        kfile.write(tmp_path / "euro.K", euro)


def test_datagroup_lookups():
    datagroup = Datagroup(id=7, name="Skeleton", labels=["a", "b"], rate=2, frames=[4, 5],
                          values=[[1, 2], [3, 4]])
    np.testing.assert_array_equal(datagroup.channel("b"), [2, 4])
    with pytest.raises(KeyError):
        datagroup.channel("c")
    take_ = Take(datagroups=[datagroup])
    assert take_.datagroup(7) is take_.datagroup("Skeleton") is datagroup
    assert list(take_.datagroups) == [datagroup]
    for missing in (0, "skeleton", ""):
        with pytest.raises(KeyError):
            take_.datagroup(missing)
    assert repr(take_) == "<Take version 1, datagroups 7 Skeleton (2 frames)>"
    assert repr(datagroup) == "<Datagroup 7 'Skeleton': 2 channels, 2 frames at 2 Hz>"


def test_points_subjects_and_pandas_agree_with_the_channels(generate):
    markers = kfile.read(generate(frames=30, subjects=3, markers=4, missing_every=5)).datagroup(0)
    assert markers.subjects == ["Bob", "Ann", "Kim", kfile.UNNAMED_SUBJECT]  # Bob1, Kim2: merged
    names, xyz = markers.points()
    assert xyz.shape == (30, len(names), 3) and np.isnan(xyz).any()
    for marker, name in enumerate(names):
        for axis, letter in enumerate("XYZ"):
            np.testing.assert_array_equal(xyz[:, marker, axis], markers.channel(f"{name} <P-{letter}>"))
    kim = markers.points("Kim")
    assert kim.names == [name for name in names if name.startswith("Kim2:")] and kim.names
    np.testing.assert_array_equal(kim.values, xyz[:, [names.index(n) for n in kim.names]])
    assert markers.points("Nobody").values.shape == (30, 0, 3)

    frame = markers.to_pandas()
    assert list(frame.columns) == markers.labels and frame.index.name == "time"
    np.testing.assert_array_equal(frame.index, markers.times)
    np.testing.assert_array_equal(frame.to_numpy(), markers.values)


def test_points_take_position_labels_as_the_import_reads_them():
    labels = ["A1:m <P-X>", "A1:m  <P-Z>", "A2:n <P-Y>", "A1:m <p-x>", "A1:m <P-X> ", "B:k <A-X>"]
    datagroup = Datagroup(labels=labels, rate=1, frames=[0], values=[np.arange(6.0)])
    assert datagroup.subjects == ["A", "B"]
    names, xyz = datagroup.points("A")
    assert names == ["A1:m", "A2:n"]
    np.testing.assert_array_equal(xyz, [[[0, NAN, 1], [NAN, 2, NAN]]])
