#include "app/shell/profile.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "common/errors.h"
#include "common/files.h"
#include "common/strings.h"
#include "common/text.h"

namespace sism {

namespace {

constexpr std::size_t kIniValueMax = 127;

std::string EnvText(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string HomeFolder() {
  std::string home = EnvText("HOME");
  if (!home.empty()) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return {};
}

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::string ConfigFolder() {
  std::string dir = EnvText("XDG_CONFIG_HOME");
  if (!dir.empty() && dir.front() == '/') return dir;
  std::string home = HomeFolder();
  return home.empty() ? std::string() : home + "/.config";
}

bool IsQuote(char c) {
  return c == '"' || c == '\'';
}
bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Private-profile readers drop one pair of quotes around a value.
std::string Unquote(std::string_view v) {
  if (v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front()) v = v.substr(1, v.size() - 2);
  return std::string(v);
}

// The value as written to a line: line breaks would end the line (and could start a
// forged key or section), so they become blanks; values that reading would alter
// (surrounding blanks, surrounding quotes) are protected by a pair of quotes.
std::string StoredForm(std::string_view value) {
  std::string v;
  v.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
      v.push_back(' ');
    } else {
      v.push_back(c);
    }
  }
  bool protect = !v.empty() && (IsBlank(v.front()) || IsBlank(v.back()));
  protect = protect || (v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front());
  return protect ? "\"" + v + "\"" : v;
}

// Cut to at most n bytes without splitting a UTF-8 sequence.
std::string CutText(std::string s, std::size_t n) {
  if (s.size() <= n) return s;
  std::size_t end = n;
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  s.resize(end);
  return s;
}

std::string Utf16LeToUtf8(std::string_view bytes) {
  std::string out;
  auto unit = [&](std::size_t i) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  };
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    uint32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
        unit(i + 2) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // unpaired surrogate
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace

std::string UserSettingsPath() {
  std::string dir = ConfigFolder();
  if (dir.empty()) return {};
  return dir + "/" + ProgramTitle() + "/" + ProgramTitle() + ".ini";
}

// ---------------------------------------------------------------------------
// ProfileFile

void ProfileFile::AddLine(Section& s, std::string raw) {
  Line line;
  line.raw = std::move(raw);
  std::string t = TrimSpace(line.raw);
  if (!t.empty() && t[0] != ';' && t[0] != '#' && t[0] != '[') {
    std::size_t eq = t.find('=');
    if (eq != std::string::npos) {
      line.key = TrimSpace(std::string_view(t).substr(0, eq));
      line.value = TrimSpace(std::string_view(t).substr(eq + 1));
    }
  }
  if (!line.key.empty()) s.keys.emplace(LCase(line.key), s.lines.size());
  s.lines.push_back(std::move(line));
}

ProfileFile ProfileFile::Parse(std::string_view text) {
  ProfileFile f;
  std::string converted;
  if (StartsWith(text, "\xFF\xFE")) {
    // Windows editors save "Unicode" INI files as UTF-16; they are kept as UTF-8 from then on.
    converted = "\xEF\xBB\xBF" + Utf16LeToUtf8(text.substr(2));
    text = converted;
  }
  if (StartsWith(text, "\xEF\xBB\xBF")) {
    f.bom_ = true;
    text.remove_prefix(3);
  }
  if (text.find("\r\n") != std::string_view::npos) f.eol_ = "\r\n";
  f.sections_.emplace_back();  // lines before the first header
  TextFile lines = TextFile::FromText(std::string(text));
  std::string raw;
  while (lines.TryReadLine(raw)) {
    std::string t = TrimSpace(raw);
    if (!t.empty() && t[0] == '[') {
      std::size_t close = t.find(']');
      Section s;
      s.name = TrimSpace(
          std::string_view(t).substr(1, close == std::string::npos ? std::string::npos : close - 1));
      s.lines.push_back(Line{raw, {}, {}});
      f.index_.emplace(LCase(s.name), f.sections_.size());
      f.sections_.push_back(std::move(s));
    } else {
      AddLine(f.sections_.back(), raw);
    }
  }
  return f;
}

const ProfileFile::Section* ProfileFile::FindSection(std::string_view name) const {
  auto it = index_.find(LCase(TrimSpace(name)));
  return it == index_.end() ? nullptr : &sections_[it->second];
}

ProfileFile::Section* ProfileFile::FindSection(std::string_view name) {
  return const_cast<Section*>(static_cast<const ProfileFile*>(this)->FindSection(name));
}

bool ProfileFile::Get(std::string_view section, std::string_view key, std::string& value) const {
  const Section* s = FindSection(section);
  if (!s) return false;
  auto it = s->keys.find(LCase(TrimSpace(key)));
  if (it == s->keys.end()) return false;
  value = Unquote(s->lines[it->second].value);
  return true;
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string k = TrimSpace(key);
  std::string stored = StoredForm(value);
  std::string raw = k + "=" + stored;
  if (sections_.empty()) sections_.emplace_back();
  Section* s = FindSection(section);
  if (!s) {
    // A new section goes at the end, after a blank line when the file has text.
    Section& last = sections_.back();
    bool hasText = false;
    for (const auto& sec : sections_) hasText = hasText || !sec.lines.empty();
    if (hasText && !TrimSpace(last.lines.empty() ? std::string() : last.lines.back().raw).empty())
      AddLine(last, "");
    Section fresh;
    fresh.name = TrimSpace(section);
    fresh.lines.push_back(Line{"[" + fresh.name + "]", {}, {}});
    index_.emplace(LCase(fresh.name), sections_.size());
    sections_.push_back(std::move(fresh));
    s = &sections_.back();
  }
  auto it = s->keys.find(LCase(k));
  if (it != s->keys.end()) {
    Line& line = s->lines[it->second];
    line.raw = raw;
    line.key = k;
    line.value = stored;
    return;
  }
  // Insert after the section's last non-blank line, so blank lines before the next header stay there.
  std::size_t at = s->lines.size();
  while (at > 0 && TrimSpace(s->lines[at - 1].raw).empty()) --at;
  Line line{raw, k, stored};
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  for (auto& [name, pos] : s->keys)
    if (pos >= at) ++pos;
  s->keys.emplace(LCase(k), at);
}

std::string ProfileFile::Text() const {
  std::string out = bom_ ? "\xEF\xBB\xBF" : "";
  for (const auto& s : sections_)
    for (const auto& line : s.lines) out += line.raw + eol_;
  return out;
}

// ---------------------------------------------------------------------------
// Conversions

bool ParseSingle(std::string_view text, float& value) {
  std::string t = TrimSpace(text);
  if (!IsNumeric(t)) {
    // A comma-decimal locale writes "0,1"; one comma and no point is taken as the decimal sign.
    std::size_t comma = t.find(',');
    if (comma == std::string::npos || t.find(',', comma + 1) != std::string::npos ||
        t.find('.') != std::string::npos)
      return false;
    t[comma] = '.';
    if (!IsNumeric(t)) return false;
  }
  try {
    value = ToSingle(t);
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

bool ParseLong(std::string_view text, int32_t& value) {
  std::string t = TrimSpace(text);
  if (t.size() > 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h')) {
    std::string digits = t.substr(2);
    if (!digits.empty() && digits.back() == '&') digits.pop_back();
    if (digits.empty() || digits.size() > 8) return false;
    uint32_t u = 0;
    for (char c : digits) {
      int d;
      if (c >= '0' && c <= '9')
        d = c - '0';
      else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
      else
        return false;
      u = u * 16 + static_cast<uint32_t>(d);
    }
    value = static_cast<int32_t>(u);
    return true;
  }
  float f;
  if (!IsNumeric(t)) {
    if (!ParseSingle(t, f)) return false;
    t = NumberText(f);
  }
  try {
    value = ToLong(t);
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

bool ParseBool(std::string_view text, bool& value) {
  std::string t = TrimSpace(text);
  if (EqualsNoCase(t, "True")) {
    value = true;
    return true;
  }
  if (EqualsNoCase(t, "False")) {
    value = false;
    return true;
  }
  if (!IsNumeric(t)) return false;
  try {
    value = ToDouble(t) != 0;
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

std::string SingleText(float value) {
  return NumberText(value);
}
std::string BoolText(bool value) {
  return value ? "True" : "False";
}

// ---------------------------------------------------------------------------
// SettingsStore

SettingsStore::SettingsStore(const std::string& fileName)
    : path_(fileName.empty() ? UserSettingsPath() : fileName), userStore_(fileName.empty()) {
  if (path_.empty()) {
    unreadable_ = true;
    return;
  }
  std::error_code ec;
  if (!std::filesystem::exists(path_, ec)) {
    unreadable_ = static_cast<bool>(ec);
    return;
  }
  try {
    doc_ = ProfileFile::Parse(ReadWholeFile(path_));
    found_ = true;
  } catch (const RuntimeError&) {
    unreadable_ = true;
  }
}

std::string SettingsStore::Read(std::string_view section, std::string_view key,
                                std::string_view current) const {
  std::string value;
  if (!doc_.Get(section, key, value)) return std::string(current);
  return userStore_ ? value : CutText(std::move(value), kIniValueMax);
}

float SettingsStore::ReadSingle(std::string_view section, std::string_view key, float current) const {
  std::string text;
  if (!doc_.Get(section, key, text)) return current;
  float v;
  return ParseSingle(userStore_ ? text : CutText(text, kIniValueMax), v) ? v : current;
}

int32_t SettingsStore::ReadLong(std::string_view section, std::string_view key, int32_t current) const {
  std::string text;
  if (!doc_.Get(section, key, text)) return current;
  int32_t v;
  return ParseLong(userStore_ ? text : CutText(text, kIniValueMax), v) ? v : current;
}

bool SettingsStore::ReadBool(std::string_view section, std::string_view key, bool current) const {
  std::string text;
  if (!doc_.Get(section, key, text)) return current;
  bool v;
  return ParseBool(userStore_ ? text : CutText(text, kIniValueMax), v) ? v : current;
}

void SettingsStore::Write(std::string_view section, std::string_view key, std::string_view value) {
  doc_.Set(section, key, value);
  dirty_ = true;
}

void SettingsStore::WriteSingle(std::string_view section, std::string_view key, float value) {
  Write(section, key, SingleText(value));
}

void SettingsStore::WriteLong(std::string_view section, std::string_view key, int32_t value) {
  Write(section, key, std::to_string(value));
}

void SettingsStore::WriteBool(std::string_view section, std::string_view key, bool value) {
  Write(section, key, BoolText(value));
}

void SettingsStore::Commit() {
  if (!dirty_) return;
  if (unreadable_ || path_.empty()) Raise(ErrPathFileAccess);
  if (userStore_) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
    if (ec) Raise(ErrPathFileAccess);
  }
  AtomicFileWriter out(path_);
  out.Write(doc_.Text());
  out.Commit();
  dirty_ = false;
}

// ---------------------------------------------------------------------------
// One-key access

std::string ReadSetting(std::string_view section, std::string_view key, std::string_view current,
                        const std::string& fileName) {
  return SettingsStore(fileName).Read(section, key, current);
}

void WriteSetting(std::string_view section, std::string_view key, std::string_view value,
                  const std::string& fileName) {
  SettingsStore store(fileName);
  store.Write(section, key, value);
  store.Commit();
}

float ReadSettingSingle(std::string_view section, std::string_view key, float current,
                        const std::string& fileName) {
  return SettingsStore(fileName).ReadSingle(section, key, current);
}

int32_t ReadSettingLong(std::string_view section, std::string_view key, int32_t current,
                        const std::string& fileName) {
  return SettingsStore(fileName).ReadLong(section, key, current);
}

bool ReadSettingBool(std::string_view section, std::string_view key, bool current,
                     const std::string& fileName) {
  return SettingsStore(fileName).ReadBool(section, key, current);
}

// ---------------------------------------------------------------------------
// Special folders

namespace {

// XDG_DOCUMENTS_DIR="$HOME/Documents" as user-dirs.dirs has it: shell quoting with
// backslash escapes, and $HOME (or ${HOME}) at the start.
std::string UserDirValue(std::string_view raw, const std::string& home) {
  std::string v = TrimSpace(raw);
  std::string out;
  bool quoted = false;
  for (std::size_t i = 0; i < v.size(); ++i) {
    char c = v[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (c == '\\' && i + 1 < v.size()) {
      out.push_back(v[++i]);
    } else if (!quoted && IsBlank(c)) {
      break;
    } else {
      out.push_back(c);
    }
  }
  if (StartsWith(out, "$HOME"))
    out = home + out.substr(5);
  else if (StartsWith(out, "${HOME}"))
    out = home + out.substr(7);
  return out;
}

std::string UserDir(const std::string& name) {
  std::string home = HomeFolder();
  std::string config = ConfigFolder();
  if (!config.empty()) {
    try {
      TextFile f(config + "/user-dirs.dirs");
      std::string line;
      while (f.TryReadLine(line)) {
        std::string t = TrimSpace(line);
        if (t.empty() || t[0] == '#') continue;
        std::size_t eq = t.find('=');
        if (eq == std::string::npos || TrimSpace(std::string_view(t).substr(0, eq)) != name) continue;
        std::string dir = UserDirValue(std::string_view(t).substr(eq + 1), home);
        if (!dir.empty() && dir.front() == '/') return dir;
      }
    } catch (const RuntimeError&) {
      // no user-dirs file: fall through to the environment and the home folder
    }
  }
  std::string env = EnvText(name.c_str());
  if (!env.empty() && env.front() == '/') return env;
  return home;
}

}  // namespace

std::string GetFolderPath(int folderId, bool create) {
  std::string dir;
  if (folderId == FolderDocuments)
    dir = UserDir("XDG_DOCUMENTS_DIR");
  else if (folderId == FolderPictures)
    dir = UserDir("XDG_PICTURES_DIR");
  if (dir.empty()) return {};
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  std::error_code ec;
  if (std::filesystem::is_directory(dir, ec)) return dir;
  if (!create) return {};
  std::filesystem::create_directories(dir, ec);
  return !ec && std::filesystem::is_directory(dir, ec) ? dir : std::string();
}

}  // namespace sism
