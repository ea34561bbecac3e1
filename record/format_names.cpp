#include "record/format_names.h"

#include "record/strong_record.h"

namespace sism {

std::string RecordFormatName(int32_t format) {
  switch (format) {
    case FormatAc: return "AC";
    case FormatAcs: return "ACS";
    case FormatKnet: return "K-NET/KiK-net";
    case FormatTrh: return "JMA TRH";
    case FormatJma95a: return "JMA95";
    case FormatJma95b: return "JMA one-minute";
    case FormatPeer: return "PEER AT2";
    case FormatMd: return "SMAC-MD";
    case FormatAltus: return "Altus EVT";
    case FormatPariOrg: return "PARI";
    case FormatCsv: return "CSV";
    case FormatTur: return "TUR";
    case FormatJmaAc: return "JMA keyword text";
    case FormatSmc: return "USGS SMC";
    case FormatRaw: return "CSMIP";
    case FormatCosmos: return "COSMOS";
    case FormatOther: return "general data";
    case FormatJmaCsv: return "JMA CSV";
    case FormatEsm: return "ESM";
    case FormatGeoNet: return "GeoNet";
    case FormatCwb: return "CWB";
    case FormatUnam: return "UNAM";
    case FormatBhrc: return "BHRC";
    case FormatAfad: return "AFAD";
    case FormatUsc: return "USC";
    case FormatMseed: return "miniSEED";
    case FormatSac: return "SAC";
    default: return "format " + std::to_string(format);
  }
}

}  // namespace sism
