// Named settings grouped in sections, kept in private-profile (INI) text files: the
// per-user store ($XDG_CONFIG_HOME/Sismora/Sismora.ini) or a file the user chose.
//
// Both back ends read "Key=Value" lines under "[Section]" headers, with section and key
// names matched without regard to case, blank lines and ";" or "#" comments ignored,
// spaces around "=" and around values dropped, and LF, CR LF or CR line ends. Writing a
// key keeps every other line of the file as it was; files are replaced atomically.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sism {

// Full path of the per-user store; empty when no home folder can be found.
std::string UserSettingsPath();

// One INI document held in memory with its original lines.
class ProfileFile {
 public:
  static ProfileFile Parse(std::string_view text);

  // The value of the key (surrounding quotes removed); false when the section or key is missing.
  bool Get(std::string_view section, std::string_view key, std::string& value) const;
  // Replaces the first such key's value or adds the key at the end of the section (the
  // section is added at the end of the file when missing).
  void Set(std::string_view section, std::string_view key, std::string_view value);
  std::string Text() const;

 private:
  struct Line {
    std::string raw;  // the line as it stands in the file
    std::string key;  // empty for headers, comments, blank and other lines
    std::string value;
  };
  struct Section {
    std::string name;                                   // empty for the lines before the first header
    std::vector<Line> lines;                            // header line first (when there is one)
    std::unordered_map<std::string, std::size_t> keys;  // lower-case key -> first line holding it
  };
  Section* FindSection(std::string_view name);
  const Section* FindSection(std::string_view name) const;
  static void AddLine(Section& s, std::string raw);

  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> index_;  // lower-case name -> first section
  std::string eol_ = "\n";
  bool bom_ = false;
};

// A settings file opened for a batch of reads and writes: one read of the file, one
// atomic replacement on Commit. An empty file name means the per-user store.
class SettingsStore {
 public:
  explicit SettingsStore(const std::string& fileName);

  // The stored text, or `current` when the key is missing. Values from a user's INI file
  // are cut to 127 characters.
  std::string Read(std::string_view section, std::string_view key, std::string_view current) const;
  // Typed reads: a missing key, or a value that cannot be converted to the type, gives
  // `current` back, so one bad value never discards the rest of the file.
  float ReadSingle(std::string_view section, std::string_view key, float current) const;
  int32_t ReadLong(std::string_view section, std::string_view key, int32_t current) const;
  bool ReadBool(std::string_view section, std::string_view key, bool current) const;

  void Write(std::string_view section, std::string_view key, std::string_view value);
  void WriteSingle(std::string_view section, std::string_view key, float value);
  void WriteLong(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // Writes the file when anything was written (creating the per-user store's folder).
  // Raises 75 when it cannot be written, or when the file exists but could not be read
  // (so an unreadable file is never replaced by a partial one); the old file is then untouched.
  void Commit();

  const std::string& Path() const { return path_; }
  // The file existed and was read.
  bool Found() const { return found_; }
  bool UserStore() const { return userStore_; }

 private:
  std::string path_;
  bool userStore_;
  bool found_ = false;
  bool unreadable_ = false;
  bool dirty_ = false;
  ProfileFile doc_;
};

// Value conversions used by the stores; false when the text is not of the type.
// Numbers take a point as decimal separator (a lone comma is accepted as well, as files
// written with a comma-decimal locale have it); integers round halves to even and take
// "&H" hexadecimal; booleans are "True"/"False" in any case, or a number (0 is false).
bool ParseSingle(std::string_view text, float& value);
bool ParseLong(std::string_view text, int32_t& value);
bool ParseBool(std::string_view text, bool& value);
std::string SingleText(float value);
std::string BoolText(bool value);

// One-key access; an empty file name means the per-user store. WriteSetting raises 75
// when the file cannot be written.
std::string ReadSetting(std::string_view section, std::string_view key, std::string_view current,
                        const std::string& fileName);
void WriteSetting(std::string_view section, std::string_view key, std::string_view value,
                  const std::string& fileName);
float ReadSettingSingle(std::string_view section, std::string_view key, float current,
                        const std::string& fileName);
int32_t ReadSettingLong(std::string_view section, std::string_view key, int32_t current,
                        const std::string& fileName);
bool ReadSettingBool(std::string_view section, std::string_view key, bool current,
                     const std::string& fileName);

// Special folders of the user, from the XDG user directories.
enum FolderId : int { FolderDocuments = 5, FolderPictures = 39 };
// The folder's path (without a trailing "/"); with `create` it is created when missing.
// Empty when the folder is unknown, missing (without `create`) or cannot be created.
std::string GetFolderPath(int folderId, bool create);

}  // namespace sism
