# The flatfile of the shared sample records as a modeller reads it: strict UTF-8 through
# Python's csv module (and pandas where installed), event columns filled, ISO 8601 start
# times, every column described with a unit, the same values as JSON lines; and the
# progress line on a terminal but not in a pipe.
import csv
import datetime
import json
import math
import os
import pty
import select
import subprocess

import pytest


@pytest.fixture(scope="module")
def tool(bin_dir, tmp_path_factory):
    """The build's sismora-cli and an environment with the default settings."""
    env = dict(os.environ, XDG_CONFIG_HOME=str(tmp_path_factory.mktemp("config")))
    return bin_dir / "sismora-cli", env


@pytest.fixture(scope="module")
def samples(samples_dir):
    return samples_dir


@pytest.fixture(scope="module")
def flatfile(tool, samples, tmp_path_factory):
    cli, env = tool
    out = tmp_path_factory.mktemp("flat") / "samples.csv"
    done = subprocess.run([cli, "metrics", "--quiet", "-j", "2", samples, "-o", out], env=env, capture_output=True)
    assert done.returncode in (0, 1), done.stderr
    return out


def read_rows(path):
    with open(path, newline="", encoding="utf-8", errors="strict") as f:
        return list(csv.DictReader(f, strict=True))


def row_of(rows, folder):
    found = [r for r in rows if f"/{folder}/" in r["file"]]
    assert len(found) == 1, [r["file"] for r in found]
    return found[0]


def test_rows_read_as_strict_utf8_with_the_event_and_station(flatfile):
    rows = read_rows(flatfile)
    assert len(rows) > 15
    knet, esm = row_of(rows, "knet"), row_of(rows, "esm")
    for row in (knet, esm):
        for column in ("origin_time", "ev_lat", "ev_lon", "ev_depth_km", "magnitude", "magnitude_type",
                       "station_lat", "station_lon", "station_elevation_m", "epicentral_distance_km",
                       "hypocentral_distance_km"):
            assert row[column] != "", (row["file"], column)
    assert float(knet["ev_lat"]) == 41.0 and float(knet["magnitude"]) == 6.2
    assert esm["event_id"] == "EMSC-20190728_0000106" and esm["network"] == "HI"
    # The header's own epicentral distance is 88.1 km.
    assert abs(float(esm["epicentral_distance_km"]) - 88.1) < 1.0
    assert float(esm["hypocentral_distance_km"]) >= float(esm["epicentral_distance_km"])
    assert esm["H1_channel_code"] == "HNN" and float(esm["H2_azimuth"]) == 90 and float(esm["V_dip"]) == -90
    assert float(esm["H1_hp_hz"]) == 0.1 and float(esm["H1_lp_hz"]) == 30
    assert all(r["error_code"] == "" and r["error"] == "" for r in rows), [r["file"] for r in rows if r["error"]]


def test_start_times_are_iso_8601_in_the_zone_the_record_states(flatfile):
    rows = read_rows(flatfile)
    times = {r["file"]: r["start_time"] for r in rows if r["start_time"]}
    assert len(times) > 10
    for file, text in times.items():
        datetime.datetime.fromisoformat(text)  # raises for anything else
    zone = lambda folder: datetime.datetime.fromisoformat(row_of(rows, folder)["start_time"]).utcoffset()
    assert zone("esm") == datetime.timedelta(0)
    assert zone("fdsn") == datetime.timedelta(0)
    assert zone("cwb") == datetime.timedelta(hours=8)
    assert zone("knet") == datetime.timedelta(hours=9)
    assert row_of(rows, "esm")["start_time"] == "2019-07-28T16:09:19.870Z"
    # Without a stated zone the time has none.
    assert datetime.datetime.fromisoformat(row_of(rows, "peer")["start_time"]).tzinfo is None


def test_every_column_is_described_with_a_unit(flatfile):
    with open(flatfile, encoding="utf-8") as f:
        header = next(csv.reader(f))
    columns = read_rows(flatfile.with_name("samples.columns.csv"))
    assert [c["name"] for c in columns] == header
    assert all(c["unit"] and c["description"] for c in columns), [c["name"] for c in columns if not c["unit"]]
    units = {c["name"]: c["unit"] for c in columns}
    assert units["H1_PGA"] == "cm/s/s" and units["ev_depth_km"] == "km" and units["station"] == "text"
    provenance = json.loads(flatfile.with_name("samples.provenance.json").read_text(encoding="utf-8"))
    assert provenance["version"] and provenance["measures"]["damping_percent"] == 5
    assert "peaks_between_samples" in provenance["measures"] and "low_cut_hz" in provenance["preprocessing"]


def test_numeric_columns_hold_numbers_only(flatfile):
    numpy = pytest.importorskip("numpy")
    units = {c["name"]: c["unit"] for c in read_rows(flatfile.with_name("samples.columns.csv"))}
    rows = read_rows(flatfile)
    for name, unit in units.items():
        if unit == "text":
            continue
        values = numpy.array([float(r[name]) if r[name] else numpy.nan for r in rows])
        assert not numpy.isinf(values).any(), name
    distances = numpy.array([float(r["epicentral_distance_km"] or "nan") for r in rows])
    assert (distances[~numpy.isnan(distances)] > 0).all()


def test_pandas_reads_the_flatfile(flatfile):
    pandas = pytest.importorskip("pandas")
    frame = pandas.read_csv(flatfile, encoding="utf-8")
    assert len(frame) == len(read_rows(flatfile))
    assert frame["ev_lat"].notna().sum() >= 2


def test_json_lines_hold_the_values_of_the_csv(tool, samples, flatfile, tmp_path):
    cli, env = tool
    out = tmp_path / "samples.jsonl"
    done = subprocess.run([cli, "metrics", "--quiet", samples, "-o", out], env=env, capture_output=True)
    assert done.returncode in (0, 1), done.stderr
    objects = [json.loads(line) for line in out.read_text(encoding="utf-8").splitlines()]
    rows = read_rows(flatfile)
    assert len(objects) == len(rows)
    for row, obj in zip(rows, objects):
        assert list(obj) == list(row)
        for name, text in row.items():
            value = obj[name]
            if text == "":
                assert value in (None, ""), (row["file"], name, value)
            elif isinstance(value, str):
                assert value == text, (row["file"], name)
            else:
                assert math.isclose(value, float(text), rel_tol=1e-6), (row["file"], name, value, text)


def test_outputs_of_other_formats_and_unread_files(tool, samples, tmp_path):
    cli, env = tool
    record = samples / "knet" / "AOM0011801241951.NS"
    for name in ("out.parquet", "out.json", "out.xlsx"):
        done = subprocess.run([cli, "metrics", record, "-o", tmp_path / name], env=env, capture_output=True,
                              text=True)
        assert done.returncode == 2, done.stderr
        assert not (tmp_path / name).exists()
    done = subprocess.run([cli, "metrics", "--format", "jsonl", record, "-o", tmp_path / "x.csv"], env=env,
                          capture_output=True)
    assert done.returncode == 2
    missing = tmp_path / "gone.NS"
    done = subprocess.run([cli, "info", "--json", record, missing], env=env, capture_output=True, text=True)
    assert done.returncode == 1
    lines = [json.loads(line) for line in done.stdout.splitlines()]
    assert lines[1] == {"FilePath": str(missing), "ErrorCode": "unreadable", "Error": lines[1]["Error"]}
    assert f"sismora-cli: {missing}: " in done.stderr


def progress_seen(tool, record, stderr_tty):
    cli, env = tool
    args = [cli, "metrics", record, record.with_suffix(".EW"), "-o", "-"]
    if not stderr_tty:
        done = subprocess.run(args, env=env, capture_output=True, text=True)
        return done.stderr
    leader, follower = pty.openpty()
    proc = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL, stderr=follower)
    os.close(follower)
    seen = b""
    while True:
        ready, _, _ = select.select([leader], [], [], 60)
        if not ready:
            break
        try:
            chunk = os.read(leader, 4096)
        except OSError:  # the terminal closed with the program
            break
        if not chunk:
            break
        seen += chunk
    proc.wait(timeout=60)
    os.close(leader)
    return seen.decode("utf-8", "replace")


def test_progress_line_on_a_terminal_only(tool, samples):
    record = samples / "knet" / "AOM0011801241951.NS"
    assert "1/1 files" in progress_seen(tool, record, True)
    assert "files" not in progress_seen(tool, record, False)
