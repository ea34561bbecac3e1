"""sismora: strong-motion records for Python, read and measured by Sismora's own code
(libsismora, over ctypes).

    import sismora

    rec = sismora.read("AOM0011801241951.UD")     # the K-NET set: NS, EW and UD
    rec.data        # float32 (samples, channels), cm/s/s
    rec.dt, rec.start, rec.channels, rec.station
    rec.preprocess()                               # the program's default chain
    rec.metrics()["H1_PGA"]                        # the flatfile row as a dict

Units are centimetres and seconds: acceleration in cm/s/s, velocity in cm/s, displacement
in cm, periods and steps in s, frequencies in Hz. The library is loaded on the first call:
SISMORA_LIBRARY names it when set, otherwise libsismora.so.1 is looked for beside the
package, in the installation it came with and through the system's library search.
"""

from sismcalc._library import package_version

from ._library import SONAME, library
from ._record import (Channel, FourierSpectrum, Record, ResponseSpectrum, RotD, SismoraError, Station, list_records,
                      read, read_many)

__version__ = package_version("sismora")

__all__ = ["Channel", "FourierSpectrum", "Record", "ResponseSpectrum", "RotD", "SismoraError", "Station",
           "list_records", "read", "read_many", "SONAME", "library", "__version__"]
