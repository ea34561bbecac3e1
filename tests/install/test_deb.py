# The Debian package CPack makes from the build: its name, control fields, computed
# dependencies and contents. Made in a folder of its own, so that the package of `make
# package` is left alone.
import shutil

import pytest

from helpers import run


@pytest.fixture(scope="module")
def deb(build_dir, version):
    out = build_dir / "package-test"
    shutil.rmtree(out, ignore_errors=True)
    run(["cpack", "-G", "DEB", "--config", build_dir / "CPackConfig.cmake", "-B", out], timeout=600)
    arch = run(["dpkg", "--print-architecture"]).stdout.strip()
    path = out / f"sismora_{version}_{arch}.deb"
    assert path.exists(), sorted(p.name for p in out.iterdir())
    return path


@pytest.fixture(scope="module")
def control(deb):
    fields = {}
    for line in run(["dpkg-deb", "-f", deb]).stdout.splitlines():
        if line and not line.startswith(" "):
            key, _, value = line.partition(":")
            fields[key] = value.strip()
    return fields


@pytest.fixture(scope="module")
def contents(deb):
    listing = run(["dpkg-deb", "-c", deb]).stdout
    print(listing)  # shown by ctest --output-on-failure
    # "-rwxr-xr-x root/root 123 2024-01-01 00:00 ./usr/bin/sismora-cli"
    return {line.split(None, 5)[5].split(" -> ")[0].lstrip(".") for line in listing.splitlines()}


def test_the_control_fields(control, version):
    assert control["Package"] == "sismora"
    assert control["Version"] == version
    assert control["Section"] == "science"
    assert "fonts-liberation2" in control["Recommends"]


def test_the_description_has_one_synopsis_line(deb):
    lines = run(["dpkg-deb", "-f", deb, "Description"]).stdout.splitlines()
    assert lines[0] == "view and analyse strong-motion earthquake records"
    assert lines[1].startswith(" Sismora reads")


def test_runtime_dependencies_are_computed(control, gui):
    depends = control["Depends"]
    assert "libc6" in depends and "libstdc++6" in depends
    if gui:
        assert "libqt6widgets6" in depends and "libqt6svg6" in depends


def test_the_package_installs_under_usr(contents, app_id, gui, version, libdir, pydir):
    lib = f"/usr/{libdir}"
    expected = {"/usr/bin/sismora-cli", f"{lib}/libsismcalc.so.1", f"{lib}/libsismcalc.so.{version}",
                "/usr/include/sismcalc.h", f"{lib}/pkgconfig/sismcalc.pc", f"{lib}/cmake/sismcalc/sismcalcConfig.cmake",
                f"/usr/{pydir}/sismcalc/__init__.py", "/usr/share/man/man1/sismora-cli.1.gz"}
    if gui:
        expected |= {"/usr/bin/sismora", "/usr/share/man/man1/sismora.1.gz", f"/usr/share/applications/{app_id}.desktop",
                     f"/usr/share/metainfo/{app_id}.metainfo.xml", "/usr/share/mime/packages/sismora.xml",
                     f"/usr/share/icons/hicolor/48x48/apps/{app_id}.png",
                     f"/usr/share/icons/hicolor/scalable/apps/{app_id}.svg"}
    assert sorted(expected - contents) == []
    assert all(path.startswith("/usr/") or path == "/usr/" or path == "/" for path in contents)


def test_programs_are_stripped_and_the_library_registered(deb, tmp_path, libdir):
    run(["dpkg-deb", "-x", deb, tmp_path])
    described = run(["file", "-L", tmp_path / "usr/bin/sismora-cli"]).stdout if shutil.which("file") else ""
    if described:
        assert "not stripped" not in described
    run(["dpkg-deb", "-e", deb, tmp_path / "DEBIAN"])
    assert "libsismcalc 1 sismora" in (tmp_path / "DEBIAN/shlibs").read_text()
    assert "ldconfig" in (tmp_path / "DEBIAN/postinst").read_text()
    # The pkg-config file of the package names /usr.
    assert "prefix=/usr\n" in (tmp_path / "usr" / libdir / "pkgconfig/sismcalc.pc").read_text()
