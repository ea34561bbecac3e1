// Every record reader, each with the signature of ReaderFunction (record/reader.h).
#pragma once

#include <cstddef>
#include <string>

#include "record/reader.h"
#include "record/strong_record.h"

namespace sism {

// Native formats.
ReadOutcome ReadAc(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadAcs(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
// K-NET / KiK-net.
ReadOutcome ReadKNET(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
// JMA formats.
ReadOutcome ReadTRH(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadJMA95a(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadJMA95b(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadJmaAc(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadJmaCsv(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
// US formats.
ReadOutcome ReadPeer(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadSmc(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadRaw(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadCosmos(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
// Other recorders.
ReadOutcome ReadTur(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadPARIOrg(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadMD(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadAltus(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
// Network text formats: BHRC (Iran), AFAD (Turkey), USC (Southern California).
ReadOutcome ReadBhrc(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadAfad(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadUsc(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
// Network text formats: ESM (Europe), GeoNet (New Zealand), CWB (Taiwan), UNAM (Mexico).
ReadOutcome ReadEsm(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadGeoNet(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadCwb(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadUnam(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
// Seismometer data in counts: miniSEED and SAC (binary or alphanumeric), converted to
// acceleration by a StationXML response (record/seismic_set.h).
ReadOutcome ReadMseed(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadSac(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
// General data files and CSV, which ask the user how to read them.
ReadOutcome ReadOther(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadCsv(const std::string& path, StrongRecord& rec, ReadQuestions& ask);

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
