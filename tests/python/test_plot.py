"""Pictures of takes: the command writes a PNG of the requested size that shows something, and
the figures group channels by subject."""

import subprocess
import sys

import numpy as np
import pytest
from matplotlib.image import imread

from kfile import Datagroup, Take
from kfile.plot import UNNAMED_SUBJECT, curves_figure, frame_figure, main, subject_of


@pytest.mark.parametrize("label, subject", [
    ("Bob:HEAD <P-X>", "Bob"),
    ("Bob2:HEAD", "Bob"),
    ("Take1Bob:X", "Take"),
    ("2Bob:X", UNNAMED_SUBJECT),
    ("a:b:c", "a"),
    ("HEAD <P-X>", UNNAMED_SUBJECT),
])
def test_subject_of_a_label(label, subject):
    assert subject_of(label) == subject


def two_subjects():
    labels = [f"{who}:{name} <{kind}-{axis}>"
              for who, name, kind in [("Ann", "M1", "P"), ("Ann", "M2", "P"), ("Ann", "Hips", "T"),
                                      ("Ann", "Hips", "A"), ("Bob1", "M1", "P"), ("Bob2", "M1", "P")]
              for axis in "XYZ"] + ["Fz"]
    values = np.arange(3 * len(labels), dtype=float).reshape(3, len(labels))
    values[1, 3] = np.nan  # Ann:M2 <P-X> missing at frame 11
    return Take(datagroups=[Datagroup(labels=labels, rate=50, frames=[10, 11, 12],
                                      values=values)])


def test_curves_have_a_panel_per_subject_and_kind_with_units():
    figure = curves_figure(two_subjects(), name="walk", size=(800, 600))
    panels = [(ax.get_title(loc="left"), ax.get_ylabel()) for ax in figure.axes]
    assert panels == [("Ann", "marker position (mm)"), ("Ann", "segment translation (mm)"),
                      ("Ann", "segment rotation (rad)"), ("Bob", "marker position (mm)"),
                      (UNNAMED_SUBJECT, "value")]
    assert figure.axes[-1].get_xlabel() == "time (s)"
    np.testing.assert_allclose(figure.axes[0].lines[0].get_xdata(), [0.2, 0.22, 0.24])
    assert figure._suptitle.get_text() == "walk: datagroup 0, 50 Hz"


def test_frame_shows_complete_positions_coloured_per_subject():
    figure = frame_figure(two_subjects(), 11, name="walk")
    ax = figure.axes[0]
    counts = {c.get_label(): len(c.get_offsets()) for c in ax.collections}
    assert counts == {"Ann markers": 1, "Ann segment origins": 1, "Bob markers": 2}
    colours = {c.get_label(): tuple(c.get_facecolor()[0]) for c in ax.collections}
    assert colours["Ann markers"] == colours["Ann segment origins"] != colours["Bob markers"]
    assert [ax.get_xlabel(), ax.get_zlabel()] == ["X (mm)", "Z (mm)"]
    assert figure._suptitle.get_text() == "walk: frame 11 (0.220 s at 50 Hz)"


def png_is_a_picture(path, width, height):
    pixels = imread(path)
    assert pixels.shape[:2] == (height, width)
    ink = (pixels[..., :3] < 0.9).any(axis=2).mean()
    colours = len(np.unique((pixels[..., :3] * 255).astype(np.uint8).reshape(-1, 3), axis=0))
    assert ink > 0.02 and colours > 20, (ink, colours)


def test_python_m_kfile_plot_writes_a_picture(generate, tmp_path, python_env):
    out = tmp_path / "take.png"
    result = subprocess.run([sys.executable, "-m", "kfile.plot", str(generate(frames=60)),
                             "--out", str(out), "--size", "640x480"], env=python_env,
                            capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    png_is_a_picture(out, 640, 480)


@pytest.mark.parametrize("arguments", [
    ["--size", "500x400", "--datagroup", "1", "--channels", "*<A-*>"],
    ["--size", "500x400", "--frame", "30"],
], ids=["rotations", "frame"])
def test_the_command_draws_curves_and_frames(generate, tmp_path, arguments):
    out = tmp_path / "take.png"
    take_path = generate(frames=60, markers=6, segments=3)
    assert main([str(take_path), "--out", str(out), *arguments]) == 0
    png_is_a_picture(out, 500, 400)


@pytest.mark.parametrize("arguments, status, message", [
    (["--datagroup", "5"], 2, "no datagroup 5"),
    (["--channels", "nothing*"], 2, "no channel of datagroup 0 matches 'nothing*'"),
    (["--frame", "9999"], 2, "frame 9999 has no marker or segment position"),
])
def test_the_command_explains_what_it_cannot_draw(generate, tmp_path, capsys, arguments, status,
                                                  message):
    out = tmp_path / "x.png"
    assert main([str(generate(frames=5)), "--out", str(out), *arguments]) == status
    assert message in capsys.readouterr().err
    assert not out.exists()


def test_the_command_refuses_a_bad_size_and_reports_a_file_that_is_not_a_take(tmp_path, capsys):
    (tmp_path / "bad.K").write_bytes(b"K#")
    with pytest.raises(SystemExit):
        main([str(tmp_path / "bad.K"), "--out", str(tmp_path / "x.png"), "--size", "9x9"])
    assert "WIDTHxHEIGHT" in capsys.readouterr().err
    assert main([str(tmp_path / "bad.K"), "--out", str(tmp_path / "x.png")]) == 1
    assert "shorter than the 4-byte K-file header" in capsys.readouterr().err
