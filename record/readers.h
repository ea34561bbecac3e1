// Every record reader, each with the signature of ReaderFunction (record/reader.h).
#pragma once

#include <cstddef>
#include <string>

#include "common/ui.h"
#include "record/strong_record.h"

namespace sism {

// Native formats.
bool ReadAc(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadAcs(const std::string& path, StrongRecord& rec, UserInterface& ui);
// K-NET / KiK-net.
bool ReadKNET(const std::string& path, StrongRecord& rec, UserInterface& ui);
// JMA formats.
bool ReadTRH(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadJMA95a(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadJMA95b(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadJmaAc(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadJmaCsv(const std::string& path, StrongRecord& rec, UserInterface& ui);
// US formats.
bool ReadPeer(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadSmc(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadRaw(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadCosmos(const std::string& path, StrongRecord& rec, UserInterface& ui);
// Other recorders.
bool ReadTur(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadPARIOrg(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadMD(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadAltus(const std::string& path, StrongRecord& rec, UserInterface& ui);
// Network text formats: BHRC (Iran), AFAD (Turkey), USC (Southern California).
bool ReadBhrc(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadAfad(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadUsc(const std::string& path, StrongRecord& rec, UserInterface& ui);
// Network text formats: ESM (Europe), GeoNet (New Zealand), CWB (Taiwan), UNAM (Mexico).
bool ReadEsm(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadGeoNet(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadCwb(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadUnam(const std::string& path, StrongRecord& rec, UserInterface& ui);
// Seismometer data in counts: miniSEED and SAC (binary or alphanumeric), converted to
// acceleration by a StationXML response (record/seismic_set.h).
bool ReadMseed(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadSac(const std::string& path, StrongRecord& rec, UserInterface& ui);
// General data files and CSV, which ask the user how to read them.
bool ReadOther(const std::string& path, StrongRecord& rec, UserInterface& ui);
bool ReadCsv(const std::string& path, StrongRecord& rec, UserInterface& ui);

// The binary readers' parsing cores, on the bytes of one file: everything the reader does
// after reading the file, raising as the reader's body does (InvalidRecordFile or a
// numbered error). The fuzz targets call them directly.
bool ParseAltusEvent(const std::string& data, StrongRecord& rec);
bool ParseMdRecorder(const std::string& data, StrongRecord& rec);
// TRH: all but the site code, which comes from the file's extension.
bool ParseTrh(const std::string& bytes, StrongRecord& rec);
// One minute file of the JMA difference-coded text into steps minute * 6000 onwards of
// channels 1-3 (sized by the caller); the first minute also gives the date and time.
void DecodeJma95bMinute(const std::string& text, std::size_t minute, StrongRecord& rec);

}  // namespace sism
