// The questions a file may raise while it is read (which station of a set, which
// StationXML file, whether to differentiate velocity, how a data file is laid out), put
// to whoever runs the read. The window and the tool ask the user; a batch run, a fuzz
// target or a script answers them in advance with ReadOptions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/dialog_requests.h"

namespace sism {

class ReadQuestions {
 public:
  virtual ~ReadQuestions() = default;

  // General-data, CSV or counts layout: `params` holds the guessed values on entry.
  // True when accepted; on false the values are unchanged.
  virtual bool ShowReadDataDialog(DataFileKind kind, const std::string& path, const std::string& preview,
                                  DataFileParams& params) = 0;
  // Which of several stations or bands to open: one of `groups` ("NET.STA.LOC.BAND:
  // channels"), 0-based, or -1 when declined.
  virtual int32_t PickStation(const std::vector<std::string>& groups) = 0;
  // The StationXML file for the counts of `what` (NET.STA.LOC.BAND) read from `dataPath`;
  // `found` is the one beside the data, empty when there is none. Empty for no response.
  virtual std::string ResponseFile(const std::string& dataPath, const std::string& what,
                                   const std::string& found) = 0;
  // Whether channels that record velocity are differentiated into acceleration.
  virtual bool AskDifferentiate(const std::string& text, const std::string& title) = 0;
  // Lets a window repaint during long loops.
  virtual void Yield() {}
};

// Answers given before the read. An unset answer goes to the next questioner, or with
// none takes the unattended choice: no station, the StationXML file beside the data, no
// differentiation, no layout (the read is then declined).
struct ReadOptions {
  std::optional<int32_t> station;
  std::optional<std::string> responseFile;
  std::optional<bool> differentiate;
  std::optional<DataFileParams> generalLayout;
  std::optional<DataFileParams> csvLayout;
  std::optional<DataFileParams> countsLayout;  // only the coefficient is used
};

class PresetQuestions : public ReadQuestions {
 public:
  explicit PresetQuestions(ReadOptions options, ReadQuestions* next = nullptr)
      : options_(std::move(options)), next_(next) {}

  bool ShowReadDataDialog(DataFileKind kind, const std::string& path, const std::string& preview,
                          DataFileParams& params) override;
  int32_t PickStation(const std::vector<std::string>& groups) override;
  std::string ResponseFile(const std::string& dataPath, const std::string& what,
                           const std::string& found) override;
  bool AskDifferentiate(const std::string& text, const std::string& title) override;
  void Yield() override;

 private:
  ReadOptions options_;
  ReadQuestions* next_;
};

}  // namespace sism
