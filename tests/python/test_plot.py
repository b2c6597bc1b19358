"""Pictures of takes: the commands write pictures of the requested size and count that show
something, and the figures group channels by subject and kind."""

import subprocess
import sys
from pathlib import Path

import numpy as np
import pytest
from matplotlib.image import imread
from PIL import Image

import kfile
from kfile import UNNAMED_SUBJECT, Datagroup, Take, subject_of
from kfile.plot import channel_kind, curves_figure, main, time_figure


@pytest.mark.parametrize("label, subject", [
    ("Bob:HEAD <P-X>", "Bob"),
    ("Bob2:HEAD", "Bob"),
    ("Take1Bob:X", "Take"),
    ("2Bob:X", UNNAMED_SUBJECT),
    ("a:b:c", "a"),
    ("HEAD <P-X>", UNNAMED_SUBJECT),
    ("Bob\u00b2:X", "Bob\u00b2"),  # a superscript is no decimal digit
])
def test_subject_of_a_label(label, subject):
    assert subject_of(label) == subject


@pytest.mark.parametrize("label, kind", [
    ("Bob:M1 <P-X>", "position (mm)"),
    ("Bob:Hips <A-Y>", "rotation (rad)"),
    ("Bob:Hips <a-Z>", "local rotation (rad)"),
    ("Bob:Hips <T-X>", "translation (mm)"),
    ("Plate1:Fz", "force (N)"),
    ("Plate1:Mx", "moment (N m)"),
    ("Bob:M1 <Q-X>", "value"),
])
def test_channel_kinds(label, kind):
    assert channel_kind(label) == kind


def two_subjects():
    labels = [f"{who}:{name} <{kind}-{axis}>"
              for who, name, kind in [("Ann", "M1", "P"), ("Ann", "M2", "P"), ("Ann", "Hips", "T"),
                                      ("Ann", "Chest", "T"), ("Ann", "Hips", "A"),
                                      ("Bob1", "M1", "P"), ("Bob2", "M1", "P")]
              for axis in "XYZ"] + ["Plate1:Fz"]
    values = np.arange(3 * len(labels), dtype=float).reshape(3, len(labels))
    values[1, 3] = np.nan  # Ann:M2 <P-X> missing at frame 11
    forces = Datagroup(id=1, labels=["Cal:M <P-X>", "Cal:M <P-Y>", "Cal:M <P-Z>"], rate=100,
                       frames=np.arange(20, 25), values=np.arange(15.0).reshape(5, 3))
    return Take(datagroups=[Datagroup(labels=labels, rate=50, frames=[10, 11, 12],
                                      values=values), forces])


def test_curves_have_a_panel_per_subject_and_kind_with_units_and_lines_unlike():
    figure = curves_figure(two_subjects(), name="walk", size=(800, 600))
    panels = [(ax.get_title(loc="left"), ax.get_ylabel()) for ax in figure.axes]
    assert panels == [("Ann", "position (mm)"), ("Ann", "translation (mm)"),
                      ("Ann", "rotation (rad)"), ("Bob", "position (mm)"),
                      ("Plate", "force (N)")]
    assert figure.axes[-1].get_xlabel() == "time (s)"
    np.testing.assert_allclose(figure.axes[0].lines[0].get_xdata(), [0.2, 0.22, 0.24])
    assert figure._suptitle.get_text() == "walk: datagroup 0, 50 Hz"

    many = Take(datagroups=[Datagroup(labels=[f"S:m{i} <P-X>" for i in range(45)], rate=1,
                                      frames=[0, 1], values=np.zeros((2, 45)))])
    lines = curves_figure(many).axes[0].lines
    assert len({(line.get_color(), line.get_linestyle()) for line in lines}) == 45


def test_time_view_draws_the_nearest_record_of_each_datagroup_by_subject():
    figure = time_figure(two_subjects(), 0.221, name="walk")
    ax = figure.axes[0]
    counts = {c.get_label(): len(c.get_offsets()) for c in ax.collections}
    assert counts == {"Ann markers": 1, "Ann segments": 2, "Bob markers": 2, "Cal markers": 1}
    colours = {c.get_label(): tuple(c.get_facecolor()[0]) for c in ax.collections}
    assert colours["Ann markers"] == colours["Ann segments"] != colours["Bob markers"]
    assert len(ax.lines) == 1  # Hips to Chest
    assert sorted(text.get_text() for text in ax.texts) == ["Ann", "Bob", "Cal"]
    assert [ax.get_xlabel(), ax.get_zlabel()] == ["X (mm)", "Z (mm)"]
    # 0.221 s: frame 11 at 50 Hz, frame 22 at 100 Hz.
    assert figure._suptitle.get_text() == ("walk at 0.221 s\n"
                                           "datagroup 0 frame 11, datagroup 1 frame 22")
    names_sit_above_their_points_and_cover_none(figure)
    # A name just below another subject's marker on the screen is raised above it.
    labels = [f"{who}:M <P-{axis}>" for who in ("Wide", "Over", "Far") for axis in "XYZ"]
    values = np.array([[0, 0, 0, 0, 0, 15, 1000, 1000, 1000]], dtype=float)
    names_sit_above_their_points_and_cover_none(time_figure(
        Take(datagroups=[Datagroup(labels=labels, rate=100, frames=[0], values=values)]), 0))


def names_sit_above_their_points_and_cover_none(figure):
    ax = figure.axes[0]
    figure.canvas.draw()
    points = {c.get_label(): ax.transData.transform(c.get_offsets()) for c in ax.collections}
    every = np.concatenate(list(points.values()))
    for name in ax.texts:
        box = name.get_window_extent()
        tops = [xy[:, 1].max() for label, xy in points.items()
                if label.startswith(name.get_text() + " ")]
        assert box.y0 > max(tops), name.get_text()
        assert not box.count_contains(every), name.get_text()


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
    ["--size", "500x400", "--datagroup", "Skeleton", "--channels", "*<A-*>"],
    ["--size", "500x400", "--time", "0.25"],
    ["--size", "500x400", "--frame", "30", "--datagroup", "1"],
], ids=["rotations", "time", "frame"])
def test_the_command_draws_curves_and_moments(generate, tmp_path, arguments):
    out = tmp_path / "take.png"
    take_path = generate(frames=60, markers=6, segments=3)
    assert main([str(take_path), "--out", str(out), *arguments]) == 0
    png_is_a_picture(out, 500, 400)


def gif_durations(path):
    with Image.open(path) as gif:
        durations = []
        for picture in range(gif.n_frames):
            gif.seek(picture)
            durations.append(gif.info["duration"])
        return gif.size, durations


# 30 frames at 120 fps last 250 ms: a picture every 3 records (25 ms), as fast as a GIF plays.
@pytest.mark.parametrize("arguments, count", [([], 10), (["--stride", "25"], 2)])
def test_the_command_animates_in_real_time(generate, tmp_path, arguments, count):
    out = tmp_path / "take.gif"
    take_path = generate(frames=30, markers=4, segments=2)
    assert main([str(take_path), "--out", str(out), "--animate", "--size", "200x150",
                 *arguments]) == 0
    size, durations = gif_durations(out)
    assert (len(durations), size, sum(durations)) == (count, (200, 150), 250)


def test_a_long_take_is_animated_in_a_bounded_number_of_pictures(generate, tmp_path,
                                                                  monkeypatch):
    monkeypatch.setattr(kfile.plot, "ANIMATION_FRAMES", 12)
    take_ = kfile.read(generate(frames=100, markers=2, segments=0, subjects=1))
    assert kfile.plot.save_animation(take_, tmp_path / "long.gif", size=(120, 100)) == 12
    _, durations = gif_durations(tmp_path / "long.gif")
    # 100 records at 120 fps, 8 or 9 to a picture: 833 ms in whole centiseconds.
    assert sum(durations) == 830 and set(durations) <= {60, 70, 80}, durations


def test_an_interrupted_animation_leaves_the_picture_it_was_to_replace(generate, tmp_path,
                                                                        monkeypatch):
    out = tmp_path / "take.gif"
    out.write_bytes(b"the old picture")

    def interrupted(picture, file, *args, **kwargs):
        (open(file, "wb") if isinstance(file, (str, Path)) else file).write(b"GIF89a")
        raise KeyboardInterrupt

    monkeypatch.setattr(Image.Image, "save", interrupted)
    with pytest.raises(KeyboardInterrupt):
        main([str(generate(frames=6)), "--out", str(out), "--animate", "--size", "120x100"])
    assert out.read_bytes() == b"the old picture"


@pytest.mark.parametrize("arguments, status, message", [
    (["--datagroup", "5"], 2, "no datagroup 5"),
    (["--datagroup", "Nothing"], 2, "no datagroup 'Nothing'"),
    (["--channels", "nothing*"], 2, "no channel of datagroup 0 matches 'nothing*'"),
    (["--time", "1", "--channels", "nothing*"], 2, "no marker or segment positions"),
    (["--time", "1"], 2, "time 1 s is outside the take, which runs from 0.00833333 s to "
                         "0.0416667 s"),
    (["--frame", "6"], 2, "frame 6 is outside the take: datagroup 0 holds frames 1 to 5"),
    (["--animate"], 2, "--animate writes a GIF: name the picture x.gif"),
    (["--out", "x.gif"], 2, "a GIF is an animation: add --animate to write x.gif"),
    (["--out", "x.K"], 2, "--out 'x.K' names no kind of picture: end it in .png"),
    (["--animate", "--stride", "1", "--out", "x.gif"], 2,
     "a stride of 1 shows a picture every 8.33 ms, faster than a GIF plays: use a stride of 3"),
    (["--out", "/missing/x.png"], 1, "No such file or directory: '/missing'"),
], ids=["datagroup", "datagroup name", "channels", "positions", "time", "frame", "gif suffix",
        "animate", "suffix", "stride", "folder"])
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
