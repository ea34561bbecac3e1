# The installed menu entry, software-centre data and file types are valid, agree with each
# other, and make a file manager see records as files Sismora opens.
import configparser
import os
import pathlib
import shutil
import xml.etree.ElementTree as ET

import pytest

from helpers import run

MIME_NS = "{http://www.freedesktop.org/standards/shared-mime-info}"


@pytest.fixture(autouse=True)
def needs_gui(gui):
    if not gui:
        pytest.skip("built without the program")


@pytest.fixture(scope="module")
def desktop_file(usr, app_id):
    return usr / f"share/applications/{app_id}.desktop"


@pytest.fixture(scope="module")
def entry(desktop_file):
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read(desktop_file)
    return parser["Desktop Entry"]


@pytest.fixture(scope="module")
def mime_types(usr):
    root = ET.parse(usr / "share/mime/packages/sismora.xml").getroot()
    return {t.get("type"): t for t in root.iter(f"{MIME_NS}mime-type")}


def test_the_desktop_file_is_valid(desktop_file):
    done = run(["desktop-file-validate", desktop_file])
    assert done.stdout.strip() == "", done.stdout


def test_the_menu_entry_opens_a_file_with_the_installed_program(entry, usr, app_id):
    assert entry["Exec"] == "sismora %f"
    assert (usr / "bin" / entry["Exec"].split()[0]).is_file()
    assert entry["Icon"] == app_id
    assert (usr / f"share/icons/hicolor/scalable/apps/{app_id}.svg").is_file()
    assert "Science" in entry["Categories"].split(";")


def test_the_menu_entry_offers_every_declared_file_type(entry, mime_types):
    offered = [t for t in entry["MimeType"].split(";") if t]
    assert sorted(offered) == sorted(mime_types)


def test_the_software_centre_data_is_valid(usr, app_id):
    metainfo = usr / f"share/metainfo/{app_id}.metainfo.xml"
    done = run(["appstreamcli", "validate", "--no-net", "--pedantic", metainfo])
    assert "W:" not in done.stdout and "E:" not in done.stdout, done.stdout
    root = ET.parse(metainfo).getroot()
    assert root.findtext("id") == app_id
    assert root.find("launchable").text == f"{app_id}.desktop"
    assert sorted(m.text for m in root.iter("mediatype")) == sorted(
        t for t in (usr / f"share/applications/{app_id}.desktop").read_text().split("MimeType=")[1].split("\n")[0].split(";") if t)


def test_the_software_centre_data_is_complete(usr, app_id, build_dir, version):
    root = ET.parse(usr / f"share/metainfo/{app_id}.metainfo.xml").getroot()
    assert root.findtext("project_license") == "MIT"
    assert root.find("url[@type='homepage']").text.startswith("https://")
    assert root.find("content_rating").get("type") == "oars-1.1"
    assert [r.get("version") for r in root.iter("release")] == [version]
    assert [lib.text for lib in root.iter("library")] == ["libsismcalc.so.1"]
    # Every screenshot named is one the build took, a picture of a window.
    images = [i.text for i in root.iter("image")]
    assert len(images) >= 2 and all(f"/{version}/" in url for url in images)
    for url in images:
        data = (build_dir / "packaging/screenshots" / url.rsplit("/", 1)[1]).read_bytes()
        assert data[:8] == b"\x89PNG\r\n\x1a\n", url
        width, height = int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")
        assert width >= 620 and height >= 350, (url, width, height)


def test_the_installed_tree_validates_as_a_whole(usr):
    run(["appstreamcli", "validate-tree", "--no-net", usr])


# First bytes of a file of each type whose format has fixed first bytes, as the readers know them.
HEADS = {
    "application/x-accelerogram-knet": ("AOM0011801241951.NS", b"Origin Time       2018/01/24 19:51:00\nLat.  41.0\n"),
    "application/x-accelerogram-jma": ("J0416", b"01/6  160416\n"),
    "application/x-accelerogram-jma-trh": ("TRH0416", b"TRH(" + bytes(range(1, 60))),
    "application/x-accelerogram-jma-csv": ("a.csv", b"SITE CODE= 9D2,32.8632,130.8990\n LAT.=   32.5874\n"),
    "application/x-accelerogram-cosmos": ("a.V2", b"Corrected acceleration    (Format v01.20 with 13 text lines)\n"),
    "application/x-accelerogram-smc": ("a.smc", b"2 CORRECTED ACCELEROGRAM\n*\n"),
    "application/x-accelerogram-csmip": ("a.RAW", b"UNCORRECTED ACCELEROGRAM DATA              PROCESSED\n"),
    "application/x-accelerogram-peer": ("a.AT2", b"PEER NGA STRONG MOTION DATABASE RECORD\nLoma Prieta\n"),
    "application/x-accelerogram-evt": ("a.evt", b"K\x01\x01\x18" + b"\0" * 12 + b"KMI\x14" + b"\0" * 40),
    "application/x-accelerogram-esm": ("a.ASC", b"EVENT_NAME: GREECE\nEVENT_ID: X\n"),
    "application/x-accelerogram-cwb": ("a.dat", b"#Earthquake Information\n#StationCode: EAS\n"),
    "application/x-accelerogram-unam": ("a.191", b"*****\n   ARCHIVO ESTANDAR DE ACELERACION: v2.0\n"),
    "application/x-accelerogram-bhrc": ("a.V1", b"* VOL1DS FILE:  5520/01\n"),
    "application/x-accelerogram-afad": ("a.txt", b"STRONG GROUND MOTION RECORDS OF TURKIYE\nPLACE : X\n"),
    "application/x-accelerogram-usc": ("a.s0a", b"CORRECTED ACCELEROGRAM  IIBB127\nX\nY\nZ\nW\nSTATION USC# 0061\n"),
    "application/x-accelerogram-geonet": ("a.V2A", b"Corrected accelerogram 20161113 GNS Science\nSite WTMC\n"),
    "application/x-accelerogram-ac": ("a.ac", b"  3  100  2000\n"),
    # Binary FDSN formats, named without their extensions so that only the content tells.
    "application/vnd.fdsn.mseed": ("BK.CMB.00.HNZ", b"000001D BCMB 00HNZBK" + bytes(28) + b"\x03\xe8\0\0\x0b\x01\x09\0"
                                   + bytes(448)),
    "application/x-sac": ("XX.STA.00.HNE", bytes(304) + (6).to_bytes(4, "little") + bytes(32)
                          + (1).to_bytes(4, "little") + bytes(288)),
}


@pytest.fixture(scope="module")
def mime_database(usr, tmp_path_factory):
    """A shared-mime-info database of the system's types and the installed ones."""
    root = tmp_path_factory.mktemp("share")
    shutil.copytree(usr / "share/mime/packages", root / "mime/packages")
    system = "/usr/share/mime/packages/freedesktop.org.xml"
    if os.path.exists(system):
        shutil.copy(system, root / "mime/packages")
    done = run(["update-mime-database", "-V", root / "mime"])
    # Mistakes in the XML are reported, not fatal.
    problems = [line for line in done.stderr.splitlines() if "sismora.xml" in line or "Error" in line]
    assert not problems, done.stderr
    return root


def content_type(mime_database, tmp_path, path):
    env = dict(os.environ, XDG_DATA_DIRS=str(mime_database), XDG_DATA_HOME=str(tmp_path / "none"))
    out = run(["gio", "info", "-a", "standard::content-type", path], env=env).stdout
    return out.split("standard::content-type:")[1].strip()


@pytest.fixture
def needs_gio():
    if not shutil.which("gio"):
        pytest.skip("gio is not installed")


def test_the_file_types_are_recognised_by_name_and_content(needs_gio, mime_database, mime_types, tmp_path):
    missing = sorted(set(mime_types) - set(HEADS))
    assert not missing, f"no sample head for {missing}"
    seen = {}
    for expected, (name, head) in HEADS.items():
        folder = tmp_path / expected.split("/")[1]
        folder.mkdir()
        (folder / name).write_bytes(head)
        seen[expected] = content_type(mime_database, tmp_path, folder / name)
    assert seen == {t: t for t in HEADS}


# Files the program refuses, or does not read, with the names records have: none is claimed.
NOT_CLAIMED = {
    "raw-counts.V0c": b"Raw acceleration counts   (Format v01.20 with 13 text lines)\n",
    "counts-named-as-volume-1.V1c": b"Raw acceleration counts   (Format v01.20 with 13 text lines)\n",
    "spectra.V3c": b"Response spectra          (Format v01.20 with 13 text lines)\n",
    "spectra.V3": b"RESPONSE AND FOURIER AMPLITUDE SPECTRA\n",
    "notes.V1": b"Notes on the survey\n",
    "notes.V2": b"Notes on the survey\n",
    "notes.txt": b"Notes on the survey\n",
    "table.csv": b"a,b,c\n1,2,3\n",
    "notes.asc": b"Notes on the survey\n",
    "notes.smc": b"Notes on the survey\n",
    "notes.raw": b"Notes on the survey\n",
}


def test_refused_and_other_files_are_not_claimed(needs_gio, mime_database, mime_types, tmp_path):
    folder = tmp_path / "files"
    folder.mkdir()
    claimed = {}
    for name, head in NOT_CLAIMED.items():
        (folder / name).write_bytes(head)
        seen = content_type(mime_database, tmp_path, folder / name)
        if seen in mime_types:
            claimed[name] = seen
    assert claimed == {}


# The folders of the real sample records and the type each is.
SAMPLE_TYPES = {"afad": "afad", "bhrc": "bhrc", "cosmos": "cosmos", "cwb": "cwb", "dmg": "csmip", "esm": "esm",
                "evt": "evt", "geonet": "geonet", "jma": "jma-csv", "kiknet": "knet", "knet": "knet", "peer": "peer",
                "smc": "smc", "unam": "unam", "usc": "usc"}


def test_real_records_are_recognised(needs_gio, mime_database, tmp_path):
    samples = pathlib.Path(os.environ.get("SISMORA_SAMPLES_DIR", "/nonexistent"))
    if not samples.is_dir():
        pytest.skip(f"no sample records in {samples}")
    wrong = {}
    for folder, kind in SAMPLE_TYPES.items():
        for path in sorted((samples / folder).iterdir()):
            seen = content_type(mime_database, tmp_path, path)
            if seen != f"application/x-accelerogram-{kind}":
                wrong[str(path.relative_to(samples))] = seen
    for path in sorted((samples / "fdsn").glob("*.mseed")):
        if (seen := content_type(mime_database, tmp_path, path)) != "application/vnd.fdsn.mseed":
            wrong[str(path.relative_to(samples))] = seen
    assert wrong == {}
