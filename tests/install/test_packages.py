# The Debian packages CPack makes from the build: how the files are split between them, their
# control fields and control files, Debian's own checks (lintian), and an installation into
# a clean root with dpkg, used from there and removed again. Made in a folder of their own,
# so that the packages of `make package` are left alone.
import gzip
import os
import shutil
import subprocess
import sys

import pytest

from helpers import blocks_of, expect_spectrum_lines, run

LIB, DEV, PY, PROGRAM = "libsismcalc1", "libsismcalc-dev", "python3-sismcalc", "sismora"
# The record library's packages, split as the numeric library's.
RLIB, RDEV, RPY = "libsismora1", "libsismora-dev", "python3-sismora"
PACKAGES = (LIB, DEV, PY, PROGRAM, RLIB, RDEV, RPY)
# Each library's runtime package, with its SONAME and its -dev package.
LIBRARIES = {LIB: ("libsismcalc", DEV), RLIB: ("libsismora", RDEV)}

# Info tags lintian may still report, each for a reason that holds for every build.
ACCEPTED_INFO = {
    # Not a text of ours: the compiler builds "Synchronize with time axis" from two overlapping
    # 16-byte stores, which read as "...withe with time axis" in the binary.
    ("spelling-error-in-binary", "withe"),
}


def misspelt_in_our_texts(tag, root):
    """Whether a spelling-error-in-binary tag names a word of the binary's read-only data: lintian
    reads every printable run of the file, machine code too, where any three letters may meet."""
    word, path = tag.split()[3], tag.split()[-1].strip("[]")
    binary = root / path
    if not binary.exists():
        return True
    rodata = root / "rodata.bin"
    run(["objcopy", "-O", "binary", "--only-section=.rodata", binary, rodata])
    return word.encode() in rodata.read_bytes()


@pytest.fixture(scope="module")
def arch():
    return run(["dpkg", "--print-architecture"]).stdout.strip()


@pytest.fixture(scope="module")
def multiarch():
    return run(["dpkg-architecture", "-qDEB_HOST_MULTIARCH"]).stdout.strip()


@pytest.fixture(scope="module")
def debs(build_dir, version, arch):
    out = build_dir / "package-test"
    shutil.rmtree(out, ignore_errors=True)
    run(["cpack", "-G", "DEB", "--config", build_dir / "CPackConfig.cmake", "-B", out], timeout=600)
    made = sorted(p.name for p in out.glob("*.deb"))
    expected = {name: f"{name}_{version}_{'all' if name in (PY, RPY) else arch}.deb" for name in PACKAGES}
    assert made == sorted(expected.values())
    return {name: out / file for name, file in expected.items()}


def control_fields(deb):
    fields, key = {}, None
    for line in run(["dpkg-deb", "-f", deb]).stdout.splitlines():
        if line.startswith(" "):
            fields[key] += "\n" + line
        elif line:
            key, _, value = line.partition(":")
            fields[key] = value.strip()
    return fields


@pytest.fixture(scope="module")
def control(debs):
    return {name: control_fields(deb) for name, deb in debs.items()}


@pytest.fixture(scope="module")
def contents(debs):
    """The files (not folders) of each package, as absolute paths."""
    listing = {}
    for name, deb in debs.items():
        # "-rwxr-xr-x root/root 123 2024-01-01 00:00 ./usr/bin/sismora-cli"
        lines = run(["dpkg-deb", "-c", deb]).stdout.splitlines()
        listing[name] = {line.split(None, 5)[5].split(" -> ")[0].lstrip(".") for line in lines if line[0] != "d"}
    return listing


@pytest.fixture(scope="module")
def control_dir(debs, tmp_path_factory):
    """The control files of each package, by package."""
    root = tmp_path_factory.mktemp("control")
    for name, deb in debs.items():
        run(["dpkg-deb", "-e", deb, root / name])
    return root


def depends(fields, field="Depends"):
    return {d.strip() for d in fields.get(field, "").split(",") if d.strip()}


def test_every_package_names_its_origin_maintainer_and_version(control, version):
    for name, fields in control.items():
        assert fields["Package"] == name
        assert fields["Version"] == version
        assert fields["Source"] == "sismora"
        assert fields["Maintainer"].endswith(">") and "@" in fields["Maintainer"], fields["Maintainer"]
        assert fields["Homepage"].startswith("https://")
        synopsis, *long_lines = fields["Description"].splitlines()
        assert len(synopsis) <= 80 and not synopsis.endswith(".")
        assert long_lines and all(len(line) <= 80 for line in long_lines)
    assert {n: control[n]["Section"] for n in PACKAGES} == {LIB: "libs", DEV: "libdevel", PY: "python",
                                                           PROGRAM: "science", RLIB: "libs", RDEV: "libdevel",
                                                           RPY: "python"}
    assert control[LIB]["Multi-Arch"] == control[DEV]["Multi-Arch"] == "same"
    assert control[RLIB]["Multi-Arch"] == control[RDEV]["Multi-Arch"] == "same"


def test_the_dependencies_tie_the_packages_together(control, version):
    lib = depends(control[LIB])
    assert any(d.startswith("libc6") for d in lib) and any(d.startswith("libstdc++6") for d in lib)
    assert not any("qt" in d for d in lib), "the library needs nothing but the C and C++ runtimes"
    assert f"{LIB} (= {version})" in depends(control[DEV])
    assert {"python3:any", "python3-numpy", f"{LIB} (>= {version})"} <= depends(control[PY])
    program = depends(control[PROGRAM])
    assert f"{LIB} (= {version})" in program, "the program loads the library by name"
    assert any(d.startswith("libqt6widgets6") for d in program)
    assert "fonts-liberation2" in control[PROGRAM]["Recommends"]
    records = depends(control[RLIB])
    assert f"{LIB} (= {version})" in records, "the record library loads the numeric one by name"
    assert not any("qt" in d for d in records)
    assert f"{RLIB} (= {version})" in depends(control[RDEV])
    assert {"python3:any", "python3-numpy", f"{PY} (= {version})", f"{RLIB} (>= {version})"} <= depends(control[RPY])


def test_the_files_are_split_as_debian_splits_a_library(contents, multiarch, app_id, gui, version):
    lib = f"/usr/lib/{multiarch}"
    expected = {
        LIB: {f"{lib}/libsismcalc.so.1", f"{lib}/libsismcalc.so.{version}"},
        DEV: {"/usr/include/sismcalc.h", f"{lib}/libsismcalc.so", f"{lib}/pkgconfig/sismcalc.pc",
              f"{lib}/cmake/sismcalc/sismcalcConfig.cmake"},
        PY: {f"/usr/lib/python3/dist-packages/sismcalc/{m}.py" for m in ("__init__", "_library", "_installed")},
        PROGRAM: {"/usr/bin/sismora-cli", "/usr/share/man/man1/sismora-cli.1.gz",
                  "/usr/share/bash-completion/completions/sismora-cli", "/usr/share/zsh/vendor-completions/_sismora-cli",
                  "/usr/share/fish/vendor_completions.d/sismora-cli.fish"},
        RLIB: {f"{lib}/libsismora.so.1", f"{lib}/libsismora.so.{version}"},
        RDEV: {"/usr/include/sismora.h", f"{lib}/libsismora.so", f"{lib}/pkgconfig/sismora.pc",
               f"{lib}/cmake/sismora/sismoraConfig.cmake"},
        RPY: {f"/usr/lib/python3/dist-packages/sismora/{m}.py" for m in ("__init__", "_library", "_record", "_installed")}
        | {f"/usr/lib/python3/dist-packages/sismora-{version}.dist-info/METADATA"},
    }
    if gui:
        expected[PROGRAM] |= {"/usr/bin/sismora", "/usr/share/man/man1/sismora.1.gz",
                              f"/usr/share/applications/{app_id}.desktop", f"/usr/share/metainfo/{app_id}.metainfo.xml",
                              "/usr/share/mime/packages/sismora.xml", f"/usr/share/icons/hicolor/scalable/apps/{app_id}.svg"}
    for name in PACKAGES:
        expected[name] |= {f"/usr/share/doc/{name}/copyright", f"/usr/share/doc/{name}/changelog.gz"}
        assert sorted(expected[name] - contents[name]) == [], name
    assert contents[LIB] == expected[LIB], "the runtime package holds the library only"
    assert contents[RLIB] == expected[RLIB], "the runtime package holds the library only"
    assert all(p.startswith("/usr/") for files in contents.values() for p in files)


def test_every_installed_file_is_in_exactly_one_package(contents, usr):
    """Nothing the installation has is left out of the packages (a file installed without a
    component goes to the program's package), and no file is in two of them."""
    packaged = [p for files in contents.values() for p in files]
    assert len(packaged) == len(set(packaged)), sorted(p for p in packaged if packaged.count(p) > 1)
    installed = {"/" + str(p.relative_to(usr.parent)) for p in usr.rglob("*") if p.is_file() or p.is_symlink()}
    assert sorted(installed - set(packaged)) == [], "installed but in no package"
    assert sorted(set(packaged) - installed) == [], "packaged but not installed by cmake --install"


def test_each_package_has_the_licence_and_the_history_of_this_version(debs, tmp_path, version):
    for name, deb in debs.items():
        run(["dpkg-deb", "-x", deb, tmp_path / name])
        doc = tmp_path / name / "usr/share/doc" / name
        changelog = gzip.decompress((doc / "changelog.gz").read_bytes()).decode()
        assert changelog.startswith(f"sismora ({version}) unstable; urgency=medium\n"), name
        copyright = (doc / "copyright").read_text()
        assert copyright.startswith("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n")
        assert "\nLicense: Expat\n" in copyright


def test_the_library_packages_register_their_symbols_and_use_the_loader_trigger(control_dir, debs, version,
                                                                               tmp_path):
    for package, (name, dev) in LIBRARIES.items():
        lib = control_dir / package
        assert sorted(p.name for p in lib.iterdir()) == ["control", "md5sums", "shlibs", "symbols", "triggers"]
        assert (lib / "shlibs").read_text() == f"{name} 1 {package} (>= {version})\n"
        triggers = [line for line in (lib / "triggers").read_text().splitlines() if line and not line.startswith("#")]
        assert triggers == ["activate-noawait ldconfig"]
        # The symbols file lists exactly what the library exports.
        run(["dpkg-deb", "-x", debs[package], tmp_path / package])
        so = next((tmp_path / package).rglob(f"{name}.so.{version}"))
        dynsyms = run(["nm", "-D", "--defined-only", so]).stdout.split("\n")
        exported = sorted(line.split()[2] for line in dynsyms if line and line.split()[1] == "T")
        symbols = (lib / "symbols").read_text().splitlines()
        assert symbols[0] == f"{name}.so.1 {package} #MINVER#"
        assert symbols[1] == f"* Build-Depends-Package: {dev}"
        listed = sorted(line.split("@")[0].strip() for line in symbols[1:] if line.startswith(" "))
        assert listed == exported, (f"packaging/debian/{package}.symbols and the library differ; a new function "
                                    "is listed with the version it first appears in")
    for script in control_dir.glob("*/*inst"):
        assert "ldconfig" not in script.read_text(), script
    for script in control_dir.glob("*/*rm"):
        assert "ldconfig" not in script.read_text(), script


def test_binaries_are_stripped_and_hardened(debs, tmp_path, gui):
    run(["dpkg-deb", "-x", debs[PROGRAM], tmp_path])
    run(["dpkg-deb", "-x", debs[LIB], tmp_path])
    run(["dpkg-deb", "-x", debs[RLIB], tmp_path])
    binaries = [tmp_path / "usr/bin/sismora-cli"] + ([tmp_path / "usr/bin/sismora"] if gui else [])
    binaries += list(tmp_path.rglob("libsismcalc.so.*.*")) + list(tmp_path.rglob("libsismora.so.*.*"))
    for binary in binaries:
        headers = run(["readelf", "-lSd", "-W", binary]).stdout
        assert ".symtab" not in headers and ".comment" not in headers, binary
        assert "GNU_RELRO" in headers and "BIND_NOW" in headers, binary
    for binary in binaries[:1 + gui]:
        assert "Type:                              DYN" in run(["readelf", "-h", binary]).stdout, "PIE"
        assert "__stack_chk_fail" in run(["nm", "-D", binary]).stdout


def test_lintian_finds_no_error_and_no_warning(debs, tmp_path):
    if not shutil.which("lintian"):
        pytest.skip("lintian is not installed")
    done = subprocess.run(["lintian", "--pedantic", "--display-info", "--allow-root", "--no-cfg",
                           *map(str, debs.values())], capture_output=True, text=True, timeout=600)
    print(done.stdout, done.stderr)
    tags = [line for line in done.stdout.splitlines() if line[:2] in ("E:", "W:", "I:", "P:", "X:")]
    bad = [t for t in tags if t[:2] in ("E:", "W:")]
    assert not bad, "\n".join(bad)
    unexpected = [t for t in tags if tuple(t.split()[2:4]) not in ACCEPTED_INFO]
    if any(t.split()[2] == "spelling-error-in-binary" for t in unexpected):
        for deb in debs.values():
            run(["dpkg-deb", "-x", deb, tmp_path])
        unexpected = [t for t in unexpected
                      if t.split()[2] != "spelling-error-in-binary" or misspelt_in_our_texts(t, tmp_path)]
    assert not unexpected, "\n".join(unexpected)


# ---- Installed with dpkg into a clean root, used from there, removed ----

def dpkg_root(root, *args):
    run(["dpkg", f"--root={root}", "--force-script-chrootless", "--log=/dev/null", *args], timeout=300)


@pytest.fixture(scope="module")
def clean_root(tmp_path_factory):
    """An empty root whose dpkg database knows the packages this machine has installed (so
    that dependencies are checked against them), but none of their files."""
    if os.geteuid() != 0:
        pytest.skip("installing with dpkg --root needs root")
    root = tmp_path_factory.mktemp("root")
    admin = root / "var/lib/dpkg"
    for sub in ("info", "updates", "triggers"):
        (admin / sub).mkdir(parents=True)
    kept = []
    for entry in open("/var/lib/dpkg/status", encoding="utf-8").read().split("\n\n"):
        fields = entry.strip().splitlines()
        if not fields or "Status: install ok installed" not in fields:
            continue
        if fields[0].split(": ", 1)[1] in PACKAGES:
            continue
        # Triggers and configuration files concern the machine's own files, not this root's.
        kept.append("\n".join(f for f in fields if not f.startswith(("Triggers-", "Conffiles:", " /"))))
    (admin / "status").write_text("\n\n".join(kept) + "\n")
    (admin / "available").write_text("")
    return root


@pytest.fixture(scope="module")
def installed(clean_root, debs):
    dpkg_root(clean_root, "--install", *debs.values())
    return clean_root


def test_the_installed_tool_runs_from_the_root(installed, source_dir, tmp_path, version):
    env = {k: v for k, v in os.environ.items() if k not in ("LD_LIBRARY_PATH", "SISMCALC_LIBRARY")}
    env["XDG_CONFIG_HOME"] = str(tmp_path)
    cli = installed / "usr/bin/sismora-cli"
    assert run([cli, "--version"], env=env).stdout == f"sismora-cli {version}\n"
    # A response spectrum: the tool found the library the packages installed beside it.
    out = run([cli, "export", "7", source_dir / "samples/demo.ac", "-o", "-"], env=env).stdout
    assert "Response Spectrum" in out and len(out.splitlines()) > 100


def test_the_readme_c_example_builds_and_runs_against_the_root(installed, multiarch, source_dir, tmp_path):
    lib = installed / f"usr/lib/{multiarch}"
    (tmp_path / "spectrum.c").write_text(blocks_of(source_dir, "Use from C", "c")[0])
    command = next(line for text in blocks_of(source_dir, "Use from C", "sh") for line in text.splitlines()
                   if line.startswith("cc "))
    env = dict(os.environ, PKG_CONFIG_LIBDIR=str(lib / "pkgconfig"), PKG_CONFIG_SYSROOT_DIR=str(installed),
               PKG_CONFIG_PATH="")
    run(["sh", "-c", command], cwd=tmp_path, env=env)
    env = dict(os.environ, LD_LIBRARY_PATH=str(lib))
    env.pop("LD_PRELOAD", None)
    expect_spectrum_lines(run([tmp_path / "spectrum"], env=env).stdout)


def test_the_python_module_is_byte_compiled_and_imports_from_the_root(installed, multiarch):
    package = installed / "usr/lib/python3/dist-packages/sismcalc"
    tag = sys.implementation.cache_tag
    compiled = sorted(p.name.split(".")[0] for p in (package / "__pycache__").glob(f"*.{tag}.pyc"))
    assert compiled == sorted(p.stem for p in package.glob("*.py"))
    env = {k: v for k, v in os.environ.items() if k not in ("SISMCALC_LIBRARY", "LD_LIBRARY_PATH", "LD_PRELOAD")}
    env["PYTHONPATH"] = str(package.parent)
    code = ("import sismcalc; import numpy as np\n"
            "print(sismcalc.__file__); print(sismcalc.library()._name)\n"
            "print(len(sismcalc.logprd(0.1, 1.0, 4)))\n")
    where, library, count = run([sys.executable, "-B", "-c", code], env=env).stdout.split()
    assert os.path.realpath(where).startswith(os.path.realpath(package))
    assert os.path.realpath(library) == os.path.realpath(installed / f"usr/lib/{multiarch}/libsismcalc.so.1")
    assert count == "4"


def test_the_record_module_is_byte_compiled_and_reads_a_record_from_the_root(installed, multiarch, source_dir):
    package = installed / "usr/lib/python3/dist-packages/sismora"
    tag = sys.implementation.cache_tag
    compiled = sorted(p.name.split(".")[0] for p in (package / "__pycache__").glob(f"*.{tag}.pyc"))
    assert compiled == sorted(p.stem for p in package.glob("*.py"))
    env = {k: v for k, v in os.environ.items()
           if k not in ("SISMCALC_LIBRARY", "SISMORA_LIBRARY", "LD_LIBRARY_PATH", "LD_PRELOAD")}
    env["PYTHONPATH"] = str(package.parent)
    code = ("import importlib.metadata, sismora\n"
            f"r = sismora.read({str(source_dir / 'samples/demo.ac')!r}).preprocess()\n"
            "print(sismora.library()._name, importlib.metadata.version('sismora'), len(r.channels))\n")
    library, version, channels = run([sys.executable, "-B", "-c", code], env=env).stdout.split()
    assert os.path.realpath(library) == os.path.realpath(installed / f"usr/lib/{multiarch}/libsismora.so.1")
    assert int(channels) > 0 and version


def test_removal_leaves_nothing_behind(installed):
    dpkg_root(installed, "--purge", *PACKAGES)
    left = sorted(str(p.relative_to(installed)) for p in installed.rglob("*")
                  if not str(p.relative_to(installed)).startswith("var"))
    assert left == []
    info = sorted(p.name for p in (installed / "var/lib/dpkg/info").iterdir())
    assert not [f for f in info if f.split(".")[0].split(":")[0] in PACKAGES], info
