// Every record reader, each with the signature of ReaderFunction (record/reader.h).
#pragma once

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

}  // namespace sism
