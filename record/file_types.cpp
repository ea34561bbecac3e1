#include "record/file_types.h"

#include <set>
#include <stdexcept>

#include "record/formats.h"

namespace sism {

namespace {

// The XML of each file type the formats name: a note before it, then what is inside its
// <mime-type> element, as shared-mime-info reads it.
struct FileTypeRow {
  const char* type;
  const char* note;
  const char* body;
};

constexpr const char* kHeader = R"x(<?xml version="1.0" encoding="UTF-8"?>
<!-- The record formats Sismora reads, known by name and, where the format has fixed first
     bytes, by content, so that file managers offer the program for them. A format with fixed
     first bytes claims a name only where a common type owns it too (.txt, .csv, .asc, .raw,
     .smc): the content settles it. Names only records carry (.V1c, .V2, ...) are left to the
     content alone, so that volumes the program refuses (raw counts, .V0c; spectra, .V3 and
     .V3c) and other files with those names are not claimed. SMC and CSMIP files are text,
     but are not declared so: the common type of their names (.smc, .raw) would then lose a
     plain text file of that name to them. -->
)x";

const FileTypeRow kFileTypes[] = {
    {"application/x-accelerogram-ac",
     R"x()x",
     R"x(    <sub-class-of type="text/plain"/>
    <comment>Sismora accelerogram</comment>
    <generic-icon name="x-office-document"/>
    <glob pattern="*.ac"/>
    <glob pattern="*.acs"/>
)x"},
    {"application/x-accelerogram-knet",
     R"x()x",
     R"x(    <sub-class-of type="text/plain"/>
    <comment>K-NET or KiK-net strong-motion record</comment>
    <acronym>K-NET</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="60">
      <match type="string" offset="0" value="Origin Time "/>
    </magic>
    <glob pattern="*.ns"/>
    <glob pattern="*.ew"/>
    <glob pattern="*.ud"/>
    <glob pattern="*.ns1"/>
    <glob pattern="*.ew1"/>
    <glob pattern="*.ud1"/>
    <glob pattern="*.ns2"/>
    <glob pattern="*.ew2"/>
    <glob pattern="*.ud2"/>
)x"},
    {"application/x-accelerogram-jma",
     R"x()x",
     R"x(    <sub-class-of type="text/plain"/>
    <comment>JMA strong-motion record</comment>
    <acronym>JMA</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="60">
      <match type="string" offset="0" value="01/6"/>
      <match type="string" offset="0" value=" SITE"/>
    </magic>
    <glob pattern="*.ans"/>
    <glob pattern="*.aew"/>
    <glob pattern="*.aud"/>
)x"},
    {"application/x-accelerogram-jma-trh",
     R"x()x",
     R"x(    <comment>JMA TRH recorder file</comment>
    <generic-icon name="x-office-document"/>
    <magic priority="60">
      <match type="string" offset="0" value="TRH("/>
    </magic>
)x"},
    {"application/x-accelerogram-jma-csv",
     R"x()x",
     R"x(    <sub-class-of type="text/csv"/>
    <comment>JMA strong-motion CSV record</comment>
    <generic-icon name="x-office-spreadsheet"/>
    <magic priority="80">
      <match type="string" offset="0" value="SITE CODE="/>
    </magic>
    <glob pattern="*.csv"/>
)x"},
    {"application/x-accelerogram-cosmos",
     R"x()x",
     R"x(    <sub-class-of type="text/plain"/>
    <comment>COSMOS strong-motion volume</comment>
    <acronym>COSMOS</acronym>
    <generic-icon name="x-office-document"/>
    <!-- Volumes 1 and 2; raw counts (volume 0) and spectra (volume 3) are refused. -->
    <magic priority="60">
      <match type="string" offset="0" value="Uncorrected acceleration">
        <match type="string" offset="24:80" value="(Format v"/>
      </match>
      <match type="string" offset="0" value="Corrected acceleration">
        <match type="string" offset="22:80" value="(Format v"/>
      </match>
    </magic>
)x"},
    {"application/x-accelerogram-smc",
     R"x()x",
     R"x(    <comment>USGS SMC strong-motion record</comment>
    <acronym>SMC</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="60">
      <match type="string" offset="0" value="0 UNCORRECTED ACCELEROGRAM"/>
      <match type="string" offset="0" value="1 UNCORRECTED ACCELEROGRAM"/>
      <match type="string" offset="0" value="2 CORRECTED ACCELEROGRAM"/>
    </magic>
    <glob pattern="*.smc" weight="20"/>
)x"},
    {"application/x-accelerogram-csmip",
     R"x()x",
     R"x(    <comment>CSMIP strong-motion record</comment>
    <acronym>CSMIP</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="60">
      <match type="string" offset="0" value="UNCORRECTED ACCELEROGRAM DATA"/>
      <match type="string" offset="0" value="Uncorrected Accelerogram Data"/>
      <match type="string" offset="0" value="CORRECTED ACCELEROGRAM"/>
      <match type="string" offset="0" value="Corrected accelerogram"/>
    </magic>
    <glob pattern="*.raw" weight="20"/>
)x"},
    {"application/x-accelerogram-peer",
     R"x()x",
     R"x(    <sub-class-of type="text/plain"/>
    <comment>PEER NGA strong-motion record</comment>
    <acronym>AT2</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="60">
      <match type="string" offset="0" value="PEER NGA STRONG MOTION DATABASE RECORD"/>
    </magic>
    <glob pattern="*.at2"/>
)x"},
    {"application/x-accelerogram-evt",
     R"x()x",
     R"x(    <comment>Kinemetrics EVT strong-motion record</comment>
    <acronym>EVT</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="60">
      <match type="string" offset="0" value="K">
        <match type="string" offset="16" value="KMI"/>
      </match>
    </magic>
    <glob pattern="*.evt"/>
)x"},
    {"application/x-accelerogram-esm",
     R"x()x",
     R"x(    <sub-class-of type="text/plain"/>
    <comment>ESM strong-motion record</comment>
    <acronym>ESM</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="60">
      <match type="string" offset="0" value="EVENT_NAME:"/>
    </magic>
    <glob pattern="*.asc"/>
)x"},
    {"application/x-accelerogram-geonet",
     R"x()x",
     R"x(    <sub-class-of type="text/plain"/>
    <comment>GeoNet strong-motion volume</comment>
    <generic-icon name="x-office-document"/>
    <glob pattern="*.v1a"/>
    <glob pattern="*.v2a"/>
)x"},
    {"application/x-accelerogram-cwb",
     R"x()x",
     R"x(    <sub-class-of type="text/plain"/>
    <comment>CWB strong-motion record</comment>
    <acronym>CWB</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="60">
      <match type="string" offset="0" value="#">
        <match type="string" offset="1:1024" value="#StationCode:"/>
      </match>
    </magic>
)x"},
    {"application/x-accelerogram-unam",
     R"x()x",
     R"x(    <sub-class-of type="text/plain"/>
    <comment>UNAM standard acceleration file</comment>
    <acronym>UNAM</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="60">
      <match type="string" offset="0:1024" value="ARCHIVO ESTANDAR DE ACELERACION"/>
    </magic>
)x"},
    {"application/x-accelerogram-bhrc",
     R"x()x",
     R"x(    <sub-class-of type="text/plain"/>
    <comment>BHRC strong-motion volume</comment>
    <acronym>BHRC</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="60">
      <match type="string" offset="0" value="* VOL1DS"/>
    </magic>
)x"},
    {"application/x-accelerogram-afad",
     R"x()x",
     R"x(    <sub-class-of type="text/plain"/>
    <comment>AFAD strong-motion record</comment>
    <acronym>AFAD</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="60">
      <match type="string" offset="0" value="STRONG GROUND MOTION RECORDS OF TURKIYE"/>
    </magic>
    <glob pattern="*.txt"/>
)x"},
    {"application/x-accelerogram-usc",
     R"x()x",
     R"x(    <sub-class-of type="text/plain"/>
    <comment>USC accelerogram</comment>
    <acronym>USC</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="70">
      <match type="string" offset="0:2048" value="STATION USC#"/>
    </magic>
)x"},
    {"application/vnd.fdsn.mseed",
     R"x(  <!-- The type the FDSN registered for miniSEED. A data record has its quality code at byte
       6 and, in nearly every file, blockette 1000 right after the fixed header. -->
)x",
     R"x(    <comment>miniSEED seismic data</comment>
    <acronym>miniSEED</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="50">
      <match type="string" offset="6" value="D ">
        <match type="big16" offset="48" value="1000"/>
        <match type="little16" offset="48" value="1000"/>
      </match>
      <match type="string" offset="6" value="R ">
        <match type="big16" offset="48" value="1000"/>
        <match type="little16" offset="48" value="1000"/>
      </match>
      <match type="string" offset="6" value="Q ">
        <match type="big16" offset="48" value="1000"/>
        <match type="little16" offset="48" value="1000"/>
      </match>
      <match type="string" offset="6" value="M ">
        <match type="big16" offset="48" value="1000"/>
        <match type="little16" offset="48" value="1000"/>
      </match>
    </magic>
    <glob pattern="*.mseed"/>
    <glob pattern="*.miniseed"/>
)x"},
    {"application/x-sac",
     R"x(  <!-- SAC binary: header version 6 (or 7) and a time series, in either byte order. -->
)x",
     R"x(    <comment>SAC seismic trace</comment>
    <acronym>SAC</acronym>
    <generic-icon name="x-office-document"/>
    <magic priority="40">
      <match type="little32" offset="304" value="6">
        <match type="little32" offset="340" value="1"/>
      </match>
      <match type="little32" offset="304" value="7">
        <match type="little32" offset="340" value="1"/>
      </match>
      <match type="big32" offset="304" value="6">
        <match type="big32" offset="340" value="1"/>
      </match>
      <match type="big32" offset="304" value="7">
        <match type="big32" offset="340" value="1"/>
      </match>
    </magic>
    <glob pattern="*.sac"/>
)x"},
};

const FileTypeRow* FindFileType(const std::string& type) {
  for (const FileTypeRow& row : kFileTypes)
    if (type == row.type) return &row;
  return nullptr;
}

}  // namespace

std::string MimeInfoXml() {
  std::string xml = std::string(kHeader) + "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  // The types the formats name, in the order of the rows above.
  std::set<std::string> used;
  for (const RecordFormatRow& f : RecordFormats())
    if (*f.fileType != '\0') used.insert(f.fileType);
  for (const std::string& type : used)
    if (FindFileType(type) == nullptr) throw std::logic_error("no file type data for " + type);
  for (const FileTypeRow& row : kFileTypes) {
    if (used.count(row.type) == 0) continue;
    xml += std::string(row.note) + "  <mime-type type=\"" + row.type + "\">\n" + row.body + "  </mime-type>\n";
  }
  return xml + "</mime-info>\n";
}

}  // namespace sism
