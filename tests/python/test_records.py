# Records read in Python through libsismora are the records the program reads: the same
# counts, rate, start and peaks as `sismora-cli info --json`, the same flatfile row as
# `sismora-cli metrics`, the same response spectra as its export.
import csv
import datetime
import io
import json
import pathlib

import numpy as np
import pytest

import sismcalc
import sismora

# The records as read: no offset removed (the library reads without preprocessing).
PLAIN = "[PreProcess]\nRemoveDC=False\n[Calculation]\nRespDamping=5\nRespPeaksBetweenSamples=True\n"


@pytest.fixture
def plain(tmp_path):
    settings = tmp_path / "plain.ini"
    settings.write_text(PLAIN)
    return settings


@pytest.fixture(scope="module")
def sample_files(samples_dir):
    files = sismora.list_records(samples_dir)
    assert len(files) >= 15, files
    return files


def info(cli, files, *settings):
    return [json.loads(line) for line in cli("info", "--json", *settings, *files).splitlines()]


def test_every_sample_format_reads_as_the_tool_reads_it(cli, sample_files, plain):
    shown = info(cli, sample_files, "--settings", plain)
    assert len(shown) == len(sample_files)
    formats = set()
    for path, j in zip(sample_files, shown):
        rec = sismora.read(path)
        formats.add(rec.format)
        assert rec.metadata["format_code"] == str(j["FileFormat"]), path
        assert rec.data.shape == (j["DataCount"], j["ChanCount"]), path
        assert rec.data.dtype == np.float32 and rec.rate == j["SampFreq"], path
        assert rec.dt == pytest.approx(1 / j["SampFreq"], rel=1e-7)
        assert rec.metadata.get("date", "") == j["RecDate"].strip(), path
        assert rec.metadata.get("time", "") == j["RecTime"].strip(), path
        if rec.start is not None:
            assert rec.start.strftime("%Y/%m/%d") == j["RecDate"].strip(), path
        assert [c.label for c in rec.channels] == [c["Label"] for c in j["Channels"]], path
        peaks = [c["Peak"] for c in j["Channels"]]
        np.testing.assert_allclose([c.peak for c in rec.channels], peaks, rtol=1e-6, err_msg=path)
        # The samples are the ones the peaks were found in.
        np.testing.assert_allclose(np.abs(rec.data).max(axis=0), np.abs(peaks), rtol=1e-6, err_msg=path)
        assert rec.station.code == j["SiteCode"].strip(), path
    assert len(formats) >= 12, formats


def test_the_start_carries_the_zone_the_format_states(samples_dir):
    knet = sismora.read(samples_dir / "knet/AOM0011801241951.UD")
    assert knet.start == datetime.datetime(2018, 1, 24, 10, 51, 28, tzinfo=datetime.timezone.utc)
    assert knet.station.latitude == pytest.approx(41.5267) and knet.station.name
    assert [c.azimuth for c in knet.channels] == [0, 90, None] and knet.channels[2].vertical
    assert knet.event["origin_time"] == datetime.datetime(2018, 1, 24, 10, 51, tzinfo=datetime.timezone.utc)
    assert knet.event["magnitude"] == 6.2 and knet.event["depth_km"] == 30 and knet.station.elevation == 39
    seed = sismora.read(samples_dir / "fdsn/BK.CMB.00.HNZ__20140824T102014Z__20140824T102244Z.mseed")
    assert seed.start.utcoffset() == datetime.timedelta(0)
    assert seed.format == "miniSEED" and seed.provenance["reader"] == "miniSEED"
    assert seed.metadata["station.network"] == "BK" and seed.metadata["channel.1.code"].startswith("HN")


def test_the_event_is_the_one_the_header_states(samples_dir):
    esm = sismora.read(samples_dir / "esm/HI.ARS1..HNE.D.20190728.160908.C.ACC.ASC")
    assert esm.event["origin_time"].utcoffset() == datetime.timedelta(0)
    assert esm.event["magnitude"] > 0 and esm.event["magnitude_type"]
    assert esm.event["latitude"] is not None and esm.event["depth_km"] is not None


def test_the_metrics_are_the_flatfile_row_of_the_tool(cli, samples_dir, tmp_path):
    for name in ("knet/AOM0011801241951.UD", "peer/RSN763_LOMAP_GIL067.AT2"):
        path = str(samples_dir / name)
        out = tmp_path / "flat.csv"
        cli("metrics", path, "-o", out)
        header, row = list(csv.reader(io.StringIO(out.read_text())))
        rec = sismora.read(path).preprocess()  # the tool's default chain
        metrics = rec.metrics()
        assert list(metrics) == header
        assert metrics == {k: sismora._record._value(v) for k, v in zip(header, row)}, name
        assert isinstance(metrics["H1_PGA"], float) and metrics["error"] is None


def test_preprocessing_is_the_tools_chain(cli, samples_dir, tmp_path):
    path = samples_dir / "knet/AOM0011801241951.UD"
    settings = tmp_path / "filtered.ini"
    settings.write_text("[PreProcess]\nRemoveDC=True\nRemoveDCSeconds=2\nLowCutFreq=0.1\nHighCutFreq=20\n"
                        "FilterType=2\nFilterOrder=4\n")
    (j,) = info(cli, [path], "--settings", settings)
    rec = sismora.read(path).preprocess(remove_offset=2, low_cut=0.1, high_cut=20, filter="butterworth_zero_phase")
    np.testing.assert_allclose([c.peak for c in rec.channels], [c["Peak"] for c in j["Channels"]], rtol=1e-6)
    assert rec.jma_intensity == pytest.approx(j["JmaIntensity"], rel=1e-6)
    assert "low_cut=0.1" in rec.provenance["preprocessing"]
    with pytest.raises(ValueError, match="high_cut"):
        rec.preprocess(high_cut="fast")
    with pytest.raises(ValueError, match="unknown option"):
        rec.preprocess(lowcut=1)
    # Corners beyond the rate make no filter: refused, the record unchanged.
    before = rec.data.copy()
    with pytest.raises(sismora.SismoraError, match="Not filtered"):
        rec.preprocess(high_cut=60, filter="butterworth")
    np.testing.assert_array_equal(rec.data, before)


def test_the_response_spectrum_is_the_tools_export(cli, samples_dir, plain):
    path = samples_dir / "knet/AOM0011801241951.UD"
    text = cli("export", 7, path, "-o", "-", "--format", "csv", "--settings", plain)
    rows = [r for r in csv.reader(io.StringIO(text)) if r and r[0].replace(".", "", 1).isdigit()]
    shown = np.array([[float(v) for v in r] for r in rows])
    periods = sismcalc.logprd(shown[0, 0], shown[-1, 0], len(shown))
    np.testing.assert_allclose(periods, shown[:, 0], atol=6e-6)
    rs = sismora.read(path).response_spectrum(periods)
    assert rs.sa.shape == (len(periods), 3)
    # The export keeps five significant digits.
    np.testing.assert_allclose(rs.sa, shown[:, 1:4], rtol=2e-4)
    np.testing.assert_allclose(rs.psv, rs.sa * periods[:, None] / (2 * np.pi), rtol=1e-5)


def test_fourier_and_rotd_of_a_record(samples_dir):
    rec = sismora.read(samples_dir / "knet/AOM0011801241951.UD")
    f = rec.fourier()
    assert len(f.frequencies) == 8192 and f.frequencies[1] == pytest.approx(100 / 16384)
    # Parseval: the energy of the samples is that of the spectrum (0 Hz once, the rest twice).
    x = rec.data[:, 0].astype(np.float64)
    energy = (x ** 2).sum() * rec.dt
    a = f.amplitudes[:, 0].astype(np.float64)
    assert (2 * (a ** 2).sum() - a[0] ** 2) * f.frequencies[1] == pytest.approx(energy, rel=1e-3)
    smooth = rec.fourier(smoothing=0.4)
    assert smooth.amplitudes.max() < f.amplitudes.max()
    r = rec.rotd([0.2, 1.0])
    assert r.channels == (1, 2) and r.values.shape == (2, 2) and np.all(r.values[1] >= r.values[0])


def test_process_is_the_tools_processing(cli, samples_dir, tmp_path):
    path = str(samples_dir / "knet/AOM0011801241951.UD")
    settings = tmp_path / "processing.ini"
    settings.write_text(PLAIN + "[Processing]\nFilterOrder=4\n")
    out = tmp_path / "out"
    cli("process", path, "-o", out, "--settings", settings)
    name = pathlib.Path(path).name
    shown = json.loads((out / f"{name}.processing.json").read_text())
    rec = sismora.read(path)
    before = rec.data.copy()
    done = rec.process(filter_order=4)
    np.testing.assert_array_equal(rec.data, before)  # the record read is left as it is
    shown.pop("files")  # the tool names the files it wrote; the call writes none
    assert {k: done.provenance[k] for k in shown} == shown
    assert shown["status"] != "rejected" and not done.rejected
    assert done.flags == [f["name"] + (f"@{f['channel']}" if f["channel"] else "") for f in shown["flags"]]
    assert all(c["high_pass_hz"] > 0 for c in shown["channels"]) and shown["onset_s"] > 0
    # The tool writes the samples with three decimals.
    written = sismora.read(out / f"{name}.ac")
    assert written.data.shape == done.data.shape
    np.testing.assert_allclose(written.data, done.data, rtol=0, atol=5.1e-4)
    # The metrics of the processed record are the processed flatfile's.
    header, row = list(csv.reader(io.StringIO((out / "flatfile.csv").read_text())))
    shown_row = {k: sismora._record._value(v) for k, v in zip(header, row)}
    metrics = done.metrics(file=path)
    # The intensity is of the samples held, as the window shows it after a run; the tool's
    # row keeps the one of the record as read.
    common = [k for k in metrics if k in shown_row and k != "jma_intensity"]
    assert len(common) > 20 and {k: metrics[k] for k in common} == {k: shown_row[k] for k in common}
    assert shown_row["qa_flags"] == (";".join(done.flags) or None)


def test_a_rejected_record_comes_back_with_its_flags(samples_dir):
    rec = sismora.read(samples_dir / "knet/AOM0011801241951.UD")
    rejected = rec.process(min_samples=10 ** 9)
    assert rejected.rejected and rejected.provenance["status"] == "rejected" and rejected.flags
    np.testing.assert_array_equal(rejected.data, rec.data)  # stopped before the filter
    with pytest.raises(ValueError, match="unknown option"):
        rec.process(no_such_parameter=1)
    with pytest.raises(ValueError, match="filter_order"):
        rec.process(filter_order="high")
    # Parameters no chain can run with still give a record, never a crash.
    for bad in ({"snr_points": 0}, {"clip_bins": 0}, {"filter_order": 0}, {"baseline_degree": 50},
                {"taper": 2}, {"ridder_iterations": -1}, {"band_min": -1, "band_max": -5}):
        assert isinstance(rec.process(**bad), sismora.Record), bad


def test_reading_a_folder_on_two_threads_gives_the_records_one_by_one(samples_dir, sample_files):
    together = list(sismora.read_many(samples_dir, jobs=2))
    assert [r.path for r in together] == sample_files
    for many, path in zip(together, sample_files):
        one = sismora.read(path)
        np.testing.assert_array_equal(many.data, one.data, err_msg=path)
        assert many.metadata == one.metadata


def test_an_unreadable_file_raises_the_programs_message(cli, bin_dir, tmp_path):
    import os
    import subprocess
    bad = tmp_path / "broken.AT2"
    bad.write_text("PEER NGA STRONG MOTION DATABASE RECORD\nno\nACCELERATION TIME SERIES IN UNITS OF G\n"
                   "NPTS= many, DT= .005 SEC\n")
    with pytest.raises(sismora.SismoraError) as e:
        sismora.read(bad)
    done = subprocess.run([str(bin_dir / "sismora-cli"), "info", str(bad)], capture_output=True, text=True,
                          env=dict(os.environ, XDG_CONFIG_HOME=str(tmp_path / "config")), timeout=60)
    assert done.returncode != 0 and str(e.value) and str(e.value) in done.stderr
    with pytest.raises(sismora.SismoraError, match="File does not exist"):
        sismora.read(tmp_path / "missing.UD")
    with pytest.raises(ValueError, match="unknown option"):
        sismora.read(bad, stationxm="x.xml")
    skipped = list(sismora.read_many([bad, bad], on_error="skip"))
    assert skipped == []


def test_a_general_data_file_takes_its_layout_from_the_options(tmp_path):
    data = tmp_path / "two.dat"
    data.write_text("header\n1 2\n3 4\n5 6\n7 8\n")
    rec = sismora.read(data, skip=1, count=4, rate=50, channels=2)
    assert rec.rate == 50 and rec.data.shape == (4, 2)
    np.testing.assert_array_equal(rec.data[:, 1], [2, 4, 6, 8])


def test_to_obspy_gives_one_trace_a_channel(samples_dir):
    pytest.importorskip("obspy")
    rec = sismora.read(samples_dir / "knet/AOM0011801241951.UD")
    st = rec.to_obspy()
    assert len(st) == 3 and st[0].stats.sampling_rate == 100
    assert str(st[0].stats.starttime).startswith("2018-01-24T10:51:28")
    np.testing.assert_array_equal(st[2].data, rec.data[:, 2])
