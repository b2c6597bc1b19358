"""Parameters of every value type, through a file and back."""

import struct

import numpy as np
import pytest

import kfile
from kbytes import KBytes, record_body
from kfile import Parameter, Take, ValueType

PARAMETERS = {
    "BINARY": Parameter(value_type=ValueType.BINARY, values=[0, 255, 7]),
    "TEXT": Parameter(value_type=ValueType.TEXT, values=["Bob", "Alice", ""]),
    "SHORT": Parameter(value_type=ValueType.SHORT, values=[-32768, -1, 32767]),
    "LONG_2x3": Parameter(value_type=ValueType.LONG, values=np.arange(6) - 3, dimensions=(2, 3)),
    "FLOAT": Parameter(value_type=ValueType.FLOAT, values=[1.5, -2.25, np.inf]),
    "DOUBLE": Parameter(value_type=ValueType.DOUBLE, values=[0.1, 1e300, -0.0]),
    "BOOLEAN": Parameter(value_type=ValueType.BOOLEAN, values=[True, False, True]),
    "SCALAR": Parameter(value_type=ValueType.DOUBLE, values=[42.0], dimensions=()),
    "ONE_TEXT": Parameter(value_type=ValueType.TEXT, values="Walk 3"),
    "EMPTY": Parameter(value_type=ValueType.SHORT, values=[], dimensions=(0, 4)),
    # Code 8 has 2-byte elements but no type of its own: its bytes are kept as they are.
    "CODE8": Parameter(value_type=8, values=[1, 2, 3, 4], dimensions=(2,)),
    # Codes outside 1 to 8 have no elements at all.
    "CODE9": Parameter(value_type=9, values=[], dimensions=(5,)),
}


def test_parameters_of_every_type_read_back_equal(tmp_path):
    path = tmp_path / "parameters.K"
    kfile.write(path, Take(parameters=PARAMETERS))
    read = kfile.read(path).parameters
    assert list(read) == list(PARAMETERS)
    for name, parameter in PARAMETERS.items():
        assert read[name] == parameter, name
    assert read["SHORT"].values.dtype == np.int16
    assert read["BOOLEAN"].values.dtype == np.bool_
    assert read["TEXT"].dimensions == (6, 3)
    assert read["ONE_TEXT"].values == ["Walk 3"]
    assert read["CODE9"].value_type == 9 and read["TEXT"].value_type is ValueType.TEXT


def test_a_parameter_is_stored_as_its_name_type_dimensions_and_elements(tmp_path):
    path = tmp_path / "x.K"
    kfile.write(path, Take(parameters={"X": Parameter(value_type=ValueType.SHORT, values=[1, -2])}))
    payload = bytes.fromhex("02 58 00 03 01 02 00 01 00 FE FF")
    body = record_body([payload])
    expected = bytes(KBytes().file_header().section("PARAMETER", body).terminator())
    assert path.read_bytes() == expected


@pytest.mark.parametrize("parameter, message", [
    (Parameter(value_type=ValueType.TEXT, values=["ABCD"], dimensions=(4, 1)), "width 4"),
    (Parameter(value_type=ValueType.LONG, values=[1, 2, 3], dimensions=(2,)),
     "call for 8 value bytes, not 12"),
    (Parameter(value_type=ValueType.SHORT, values=[], dimensions=(-1,)), "none negative"),
    (Parameter(value_type=ValueType.DOUBLE, values=np.zeros(5000)), "does not fit a record"),
])
def test_parameters_the_format_cannot_hold_are_refused(tmp_path, parameter, message):
    with pytest.raises(ValueError, match=message):
        kfile.write(tmp_path / "refused.K", Take(parameters={"P": parameter}))
    assert not (tmp_path / "refused.K").exists()


def hostile_parameter(tmp_path, payload):
    path = tmp_path / "hostile.K"
    path.write_bytes(bytes(KBytes().file_header().section("PARAMETER", record_body([payload]))
                           .terminator()))
    return kfile.read(path).parameters


def test_hostile_parameters_give_the_values_that_are_present(tmp_path):
    # 32767^3 doubles claimed, one present.
    claimed = bytes(KBytes().pack("B", 2).raw(b"H\0").pack("BBhhhd", 6, 3, 32767, 32767, 32767,
                                                             3.5))
    parameter = hostile_parameter(tmp_path, claimed)["H"]
    assert parameter.dimensions == (32767,) * 3
    np.testing.assert_array_equal(parameter.values, [3.5])

    negative = bytes(KBytes().pack("B", 2).raw(b"N\0").pack("BBhi", 4, 1, -3, 7))
    assert hostile_parameter(tmp_path, negative)["N"].values.size == 0

    # Text slots of width 0, and dimensions that run past the record.
    zero_width = bytes(KBytes().pack("B", 2).raw(b"T\0").pack("BBhh", 2, 2, 0, 3))
    assert hostile_parameter(tmp_path, zero_width)["T"].values == []
    cut = bytes(KBytes().pack("B", 2).raw(b"P\0").pack("BBh", 6, 200, 2))
    assert hostile_parameter(tmp_path, cut)["P"].dimensions == (2,)


def test_the_first_of_two_parameters_with_one_name_stands(tmp_path):
    first = bytes(KBytes().pack("B", 2).raw(b"A\0").pack("BBh", 3, 1, 1).pack("h", 1))
    second = bytes(KBytes().pack("B", 2).raw(b"A\0").pack("BBh", 3, 1, 1).pack("h", 2))
    path = tmp_path / "twice.K"
    path.write_bytes(bytes(KBytes().file_header().section("PARAMETER", record_body([first, second]))
                           .terminator()))
    assert kfile.read(path).parameters["A"].values.tolist() == [1]
