# A real record read in Python and run through the binding gives the response spectra the
# program exports for it.
import csv
import io

import numpy as np
import pytest

import sismcalc

STANDARD_GRAVITY = 980.665  # cm/s/s


def read_at2(path):
    """Acceleration in cm/s/s and the sampling step in s of a PEER NGA .AT2 file in g."""
    lines = path.read_text().splitlines()
    assert "UNITS OF G" in lines[2]
    head = lines[3].replace(",", " ").split()
    npts = int(head[head.index("NPTS=") + 1])
    dt = float(head[head.index("DT=") + 1])
    values = np.array([float(v) for line in lines[4:] for v in line.split()], dtype=np.float64)
    assert len(values) == npts
    return np.float32(values * STANDARD_GRAVITY), dt


def exported(cli, kind, record, settings):
    """Periods and values of the program's export of a response-spectrum kind."""
    text = cli("export", kind, record, "-o", "-", "--format", "csv", "--settings", settings)
    rows = [r for r in csv.reader(io.StringIO(text)) if r]
    body = [r for r in rows if _is_number(r[0])]
    return np.array([float(r[0]) for r in body]), np.array([float(r[1]) for r in body])


def _is_number(text):
    try:
        float(text)
        return True
    except ValueError:
        return False


def test_response_spectra_of_a_peer_record_match_the_program(cli, samples_dir, tmp_path):
    record = samples_dir / "peer" / "RSN763_LOMAP_GIL067.AT2"
    if not record.exists():
        pytest.skip(f"{record} is not there")
    # The record as read: no offset removed, 5 % damping, peaks between the samples.
    settings = tmp_path / "plain.ini"
    settings.write_text("[PreProcess]\nRemoveDC=False\n[Calculation]\nRespDamping=5\nRespPeaksBetweenSamples=True\n")
    acc, dt = read_at2(record)
    periods_shown, sa_shown = exported(cli, 7, record, settings)
    _, sv_shown = exported(cli, 8, record, settings)
    _, sd_shown = exported(cli, 9, record, settings)

    periods = sismcalc.logprd(periods_shown[0], periods_shown[-1], len(periods_shown))
    np.testing.assert_allclose(periods, periods_shown, atol=6e-6)
    rate = np.float32(1) / np.float32(round(1 / dt))  # the program's step: 1 / samples per second
    sd, sv, sa, _ = sismcalc.respecsub(periods, 0.05, rate, acc, 32)

    # The export keeps five significant digits.
    np.testing.assert_allclose(sa, sa_shown, rtol=2e-4)
    np.testing.assert_allclose(sv, sv_shown, rtol=2e-4)
    np.testing.assert_allclose(sd, sd_shown, rtol=2e-4)
    # The record is a strong one: the spectrum peaks well above its ground acceleration.
    assert sa.max() > 1.5 * np.abs(acc).max()
