// Writers of the record formats other programs read (COSMOS V1/V2, SAC, miniSEED) beside
// the program's own .ac, chosen by the output's extension or by name. Each writes through
// temporary files renamed over the targets, so a failed write leaves existing files as
// they were, and refuses a record it cannot hold before anything is written. They return
// the message the user is to be told (empty when written); none shows anything itself.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "record/strong_record.h"

namespace sism {

enum class WriterId { Ac, CosmosV1, CosmosV2, Sac, Mseed };

struct WriterRow {
  WriterId id;
  const char* name;         // the tool's --to name ("cosmos-v2")
  const char* description;  // shown in file filters and help
  // Lower case with the dot; the first is the one a name without extension gets.
  std::vector<const char*> extensions;
  // One file per channel (NAME.CODE.EXT) rather than one for the record.
  bool perChannel;
  // The procedure named in the title of a failure box ("WriteSac").
  const char* procedure;
};

// Every writer, .ac first.
const std::vector<WriterRow>& RecordWriters();
// By --to name, without regard to case; null for none.
const WriterRow* FindWriter(const std::string& name);
// By the path's extension, without regard to case; null when no writer has it.
const WriterRow* WriterOfPath(const std::string& path);
// "COSMOS V2 (*.v2 *.v2c)": one entry of a save dialog's filter list.
std::string WriterFilter(const WriterRow& w);
// Title of the writer's failure box: the procedure, " - ", the program title.
std::string WriterTitle(const WriterRow& w);

// The files writing `rec` to `path` makes: the path itself, or for per-channel writers
// NAME.CODE.EXT for each channel (CODE as ChannelFileCodes gives it); miniSEED adds the
// StationXML file NAME.xml.
std::vector<std::string> WrittenFiles(const WriterRow& w, const std::string& path, const StrongRecord& rec);

// Writes all channels of `rec`; empty when written, else what the user is to be told.
std::string WriteRecordAs(const WriterRow& w, const std::string& path, const StrongRecord& rec);

std::string WriteCosmosFiles(const std::string& path, const StrongRecord& rec, int32_t volume);
std::string WriteSacFiles(const std::string& path, const StrongRecord& rec);
std::string WriteMseedFile(const std::string& path, const StrongRecord& rec);

// What .ac's three decimals would lose: for each channel whose peak keeps fewer than three
// significant digits, a line naming it, and a lossless format to use instead. Empty when
// every channel keeps at least three.
std::string AcPrecisionWarning(const StrongRecord& rec);

// Shared by the writers -----------------------------------------------------------------

// How a channel is named where formats name channels by SEED codes (SAC, miniSEED): the
// labels themselves when they are such codes (three letters or digits, distinct), else
// band and instrument letters for the rate ("HN" at 80 Hz and above) and the orientation
// the label gives (N, E, Z; 1, 2, 3 when it gives none), a further location code for
// each further sensor.
struct SeedChannel {
  std::string loc, cha;
  char orientation = 0;  // 'N', 'E', 'Z' when the label tells, else 0
};
std::vector<SeedChannel> SeedChannels(const StrongRecord& rec);

// Network and station of the record's SiteCode ("BK.CMB" or "CMB").
struct SeedStation {
  std::string net, sta;
};
SeedStation SeedStationOf(const StrongRecord& rec);

// The per-channel part of the file names of COSMOS and SAC files.
std::vector<std::string> ChannelFileCodes(WriterId id, const StrongRecord& rec);

// The record's start from RecDate "yyyy/mm/dd" and RecTime "hh:nn:ss" (seconds may be left
// out); false when they give no date.
struct StartTime {
  int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  int32_t dayOfYear() const;
};
bool RecordStart(const StrongRecord& rec, StartTime& t);

// "channel 2 (EW)"
std::string ChannelWord(const StrongRecord& rec, int32_t ch);
// The first sample of the channel that is not a finite number, or beyond `limit` in
// magnitude: "the sample inf at step 12 of channel 2 (EW) ..."; empty when all are.
std::string SampleProblem(const StrongRecord& rec, int32_t ch, double limit, const std::string& what);

// Writes the text of each file (made when its turn comes) to a temporary file beside it,
// and renames them over their targets once all are written; the message for the user
// when any failed (the targets not yet renamed are then left as they were).
std::string WriteFilesAtomically(const std::vector<std::string>& files,
                                 const std::function<std::string(std::size_t)>& text);

// Why the record makes no file at all (no samples, no rate); empty when it makes one.
std::string RecordProblem(const StrongRecord& rec);

// A latitude or longitude text as a number within ±limit degrees; false when it is none.
bool CoordinateOf(const std::string& text, double limit, double& v);

// The path with `code` put before its extension: "out.sac" → "out.HNE.sac".
std::string PathWithCode(const std::string& path, const std::string& code);

}  // namespace sism
