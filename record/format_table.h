// The table of record formats, one row a format, in detection order (the general reader
// last). Everything else about formats is made from it: the RecordFormat codes, the reader
// declarations, detection, the names, the open-file filter (app/shell/open_dialog.h), the tool's list and the
// file types. Adding a format is its reader file and one row here.
//
// ROW(Id, code, reader, name, extensions, group, siblings, fileType, signature, byName, content)
//   Id         FormatId is the code's name in RecordFormat.
//   code       the stored value (files and settings keep it): never change or reuse one.
//   reader     a ReaderFunction (record/reader.h), defined in the format's reader file.
//   name       the short name in listings.
//   extensions lower case with the dot, separated by spaces, that name the format's files.
//   group      the open-file filter's group of the extensions: the number of the group's
//              text, in the order of the filter; 0 for none (the extensions are in
//              "Known files" only).
//   siblings   how the other files of a set are found; "" for one file a record.
//   fileType   the registered or private file type (MIME); "" for none of its own.
//   signature, byName, content: detection tests, bool (const FileSniff&), or NoSniff.
//     Detection makes three passes over the rows in order: content only this format
//     writes, whatever the file's name (signature); then the name, one of `extensions`,
//     confirmed by byName when it is given; then content that is likely enough when the
//     name said nothing (content). A format's own tests live in its reader file.
#pragma once

#define SISM_RECORD_FORMATS(ROW)                                                                             \
  /* Formats known by their first lines first: a renamed file still opens. */                                \
  ROW(JmaCsv, 18, ReadJmaCsv, "JMA CSV", ".csv", 8110, "", "application/x-accelerogram-jma-csv",             \
      JmaCsvSignature, JmaCsvSignature, NoSniff)                                                             \
  ROW(Mseed, 26, ReadMseed, "miniSEED", ".mseed .miniseed .ms", 8109,                                        \
      "the station's other components (channel code ending N E Z or 1 2 3) in the same folder",              \
      "application/vnd.fdsn.mseed", MseedSignature, MseedSignature, NoSniff)                                 \
  ROW(Sac, 27, ReadSac, "SAC", ".sac", 8109, "the station's other components, as for miniSEED",              \
      "application/x-sac", SacSignature, SacSignature, NoSniff)                                              \
  ROW(Bhrc, 23, ReadBhrc, "BHRC", "", 0, "", "application/x-accelerogram-bhrc", BhrcSignature, NoSniff,      \
      NoSniff)                                                                                               \
  ROW(Afad, 24, ReadAfad, "AFAD", "", 0, "", "application/x-accelerogram-afad", AfadSignature, NoSniff,      \
      NoSniff)                                                                                               \
  ROW(Usc, 25, ReadUsc, "USC", "", 0,                                                                        \
      "volume 1: the other components, by the extension's last letter (.s0a .s0b .s0c)",                     \
      "application/x-accelerogram-usc", UscSignature, NoSniff, NoSniff)                                      \
  ROW(Esm, 19, ReadEsm, "ESM", ".asc", 8108, "the other two components (HNE HNN HNZ) in the same folder",    \
      "application/x-accelerogram-esm", EsmSignature, EsmByName, NoSniff)                                    \
  ROW(GeoNet, 20, ReadGeoNet, "GeoNet", ".v1a .v2a", 8108, "", "application/x-accelerogram-geonet",          \
      GeoNetSignature, NoSniff, NoSniff)                                                                     \
  ROW(Cwb, 21, ReadCwb, "CWB", "", 0, "", "application/x-accelerogram-cwb", CwbSignature, NoSniff, NoSniff)  \
  ROW(Unam, 22, ReadUnam, "UNAM", "", 0, "", "application/x-accelerogram-unam", UnamSignature, NoSniff,      \
      NoSniff)                                                                                               \
  /* Formats known by their names, confirmed by their first characters where others share the name. */       \
  ROW(Ac, 1, ReadAc, "AC", ".ac", 8102, "", "application/x-accelerogram-ac", NoSniff, AcByName, NoSniff)     \
  ROW(Acs, 2, ReadAcs, "ACS", ".acs", 8102, "", "application/x-accelerogram-ac", NoSniff, NoSniff, NoSniff)  \
  ROW(Knet, 3, ReadKNET, "K-NET/KiK-net", ".1 .2 .3 .ns .ew .ud .ns1 .ew1 .ud1 .ns2 .ew2 .ud2", 8103,        \
      "the other components (.NS .EW .UD, the same digit for KiK-net) beside it",                            \
      "application/x-accelerogram-knet", NoSniff, KnetByName, NoSniff)                                       \
  ROW(Jma95a, 5, ReadJMA95a, "JMA95", ".ans .aew .aud", 8104,                                                \
      "the other components (.ANS .AEW .AUD) beside it", "application/x-accelerogram-jma", NoSniff, NoSniff, \
      NoSniff)                                                                                               \
  ROW(Cosmos, 16, ReadCosmos, "COSMOS", ".v1c .v2c .v1 .v2", 8106, "", "application/x-accelerogram-cosmos",  \
      NoSniff, CosmosByName, NoSniff)                                                                        \
  ROW(Smc, 14, ReadSmc, "USGS SMC", ".smc .v1 .v2", 8106, "", "application/x-accelerogram-smc", NoSniff,     \
      SmcByName, NoSniff)                                                                                    \
  ROW(Md, 8, ReadMD, "SMAC-MD", ".md .smc", 8105, "", "", NoSniff, NoSniff, NoSniff)                         \
  ROW(Peer, 7, ReadPeer, "PEER AT2", ".at2", 8106, "", "application/x-accelerogram-peer", NoSniff, NoSniff,  \
      NoSniff)                                                                                               \
  ROW(Altus, 9, ReadAltus, "Altus EVT", ".evt", 8107, "", "application/x-accelerogram-evt", NoSniff,         \
      NoSniff, NoSniff)                                                                                      \
  ROW(Csv, 11, ReadCsv, "CSV", ".csv", 8110, "", "", NoSniff, NoSniff, NoSniff)                              \
  ROW(PariOrg, 10, ReadPARIOrg, "PARI", ".org", 0, "", "", NoSniff, NoSniff, NoSniff)                        \
  ROW(Raw, 15, ReadRaw, "CSMIP", ".raw .v1 .v2", 8106, "", "application/x-accelerogram-csmip", NoSniff,      \
      RawByName, NoSniff)                                                                                    \
  /* Formats known by their first characters alone, when the name said nothing. */                           \
  ROW(Jma95b, 6, ReadJMA95b, "JMA one-minute", "", 0, "the following one-minute files beside it",            \
      "application/x-accelerogram-jma", NoSniff, NoSniff, Jma95bContent)                                     \
  ROW(Trh, 4, ReadTRH, "JMA TRH", "", 0, "", "application/x-accelerogram-jma-trh", NoSniff, NoSniff,         \
      TrhContent)                                                                                            \
  ROW(JmaAc, 13, ReadJmaAc, "JMA keyword text", "", 0, "", "application/x-accelerogram-jma", NoSniff,        \
      NoSniff, JmaAcContent)                                                                                 \
  ROW(Tur, 12, ReadTur, "TUR", "", 0, "", "", NoSniff, NoSniff, TurContent)                                  \
  /* Anything else is offered to the general reader, which asks how to read it. */                           \
  ROW(Other, 17, ReadOther, "general data", ".txt .dat", 8111, "", "", NoSniff, NoSniff, NoSniff)
