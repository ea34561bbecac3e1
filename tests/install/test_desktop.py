# The installed menu entry, software-centre data and file types are valid, agree with each
# other, and make a file manager see records as files Sismora opens.
import configparser
import os
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
    run(["appstreamcli", "validate", "--no-net", metainfo])
    root = ET.parse(metainfo).getroot()
    assert root.findtext("id") == app_id
    assert root.find("launchable").text == f"{app_id}.desktop"
    assert sorted(m.text for m in root.iter("mediatype")) == sorted(
        t for t in (usr / f"share/applications/{app_id}.desktop").read_text().split("MimeType=")[1].split("\n")[0].split(";") if t)


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


def test_the_file_types_are_recognised_by_name_and_content(mime_database, mime_types, tmp_path):
    if not shutil.which("gio"):
        pytest.skip("gio is not installed")
    missing = sorted(set(mime_types) - set(HEADS))
    assert not missing, f"no sample head for {missing}"
    env = dict(os.environ, XDG_DATA_DIRS=str(mime_database), XDG_DATA_HOME=str(tmp_path / "none"))
    seen = {}
    for expected, (name, head) in HEADS.items():
        folder = tmp_path / expected.split("/")[1]
        folder.mkdir()
        (folder / name).write_bytes(head)
        out = run(["gio", "info", "-a", "standard::content-type", folder / name], env=env).stdout
        seen[expected] = out.split("standard::content-type:")[1].strip()
    assert seen == {t: t for t in HEADS}
