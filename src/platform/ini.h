#pragma once
// INI files read and written with the Windows private-profile rules, so that files written by
// hand or by earlier copies of the program read the same:
//  - "[Section]" lines open a section, "key=value" lines give keys; section and key names
//    match without regard to letter case, and blanks around names and values are ignored;
//  - lines starting with ";" are comments; lines may end in CR LF or in LF alone;
//  - a value enclosed in matching double or single quotes is read without them;
//  - a value is read with at most 1023 characters;
//  - a missing file, section or key reads as the caller's default.
// Writing keeps every other line of the file byte for byte: an existing key is replaced on its
// own line, a missing key is added after the last key of its section, a missing section is
// added at the end of the file. Written lines end with CR LF.
//
// Every write replaces the whole file atomically: the new contents go to a temporary file in
// the same folder, which is then renamed over the old one, so that a crash or a full disk in
// the middle leaves the old file whole. A new file is readable and writable by its owner only
// (it holds passwords); an existing file keeps its mode. A file without its owner's write
// permission, a missing folder, or a name or value that the file cannot carry makes the write
// fail.
//
// Plain C++; file names are native paths (platform::IniFileName(), platform::NativePath()).
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

// The longest value the readers return, as the Windows reader with its 1024-byte buffer.
inline constexpr size_t kIniMaxValueLength = 1023;

// ---- One call, one file access (the Windows profile functions) ------------------------------

// The value of the key, or `fallback` when the file, section or key is missing.
std::string IniReadString(const std::string& section, const std::string& key, const std::string& fallback,
                          const std::string& file);

// The value read as a whole number with the INI integer rules (see IniTextToInt); `fallback`
// when missing or not a number.
int IniReadInteger(const std::string& section, const std::string& key, int fallback, const std::string& file);

// Writes one key. False when the file cannot be written or the value cannot be stored (a NUL,
// CR or LF in it; a section or key name that a reader would not find again).
[[nodiscard]] bool IniWriteString(const std::string& section, const std::string& key, const std::string& value,
                                  const std::string& file);

// Removes one key, or a whole section with its keys. Removing what is not there succeeds and
// leaves the file untouched.
[[nodiscard]] bool IniDeleteKey(const std::string& section, const std::string& key, const std::string& file);
[[nodiscard]] bool IniDeleteSection(const std::string& section, const std::string& file);

// The error every failed INI write raises: EIniFileException "Unable to write to <file>".
[[noreturn]] void RaiseIniWriteError(const std::string& file);
// IniWriteString, raising that error on failure.
void IniWriteStringOrRaise(const std::string& section, const std::string& key, const std::string& value,
                           const std::string& file);

// The INI integer rules on a text already read: a text longer than two characters starting with
// "0x" or "0X" is hexadecimal; otherwise a whole number with an optional sign, decimal or
// hexadecimal after "$". False for anything else.
bool IniTextToInt(const std::string& text, int& value);

// ---- Several keys in one access --------------------------------------------------------------

// The contents of one INI file held in memory, for callers that read many keys at once or must
// change several keys together (one atomic write). Same rules as the functions above.
//
// The file is taken apart once: the first read builds an index of the sections and of the keys
// of each section's first occurrence, names folded to lower case, so that a read costs the
// same whatever the size of the file. Replacing a key's value or renaming sections keeps the
// index; adding or removing lines drops it, and the next read builds it anew.
class IniDocument {
 public:
  IniDocument() = default;
  static IniDocument FromBytes(std::string_view bytes);
  std::string Bytes() const;

  // Reads the file; a missing or unreadable file gives an empty document.
  static IniDocument Load(const std::string& file);
  // Reads the file for changing it: a missing file gives an empty document, a file that exists
  // but cannot be read gives nothing (writing over it would lose what it holds).
  static std::optional<IniDocument> LoadForUpdate(const std::string& file);
  // Replaces the file with this document (atomically, see above). False on failure.
  [[nodiscard]] bool Save(const std::string& file) const;

  // The whole value of the key (unquoted, not cut), or nothing when it is missing.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  // The reader rules: the value cut to kIniMaxValueLength, `fallback` when missing.
  std::string ReadString(std::string_view section, std::string_view key, const std::string& fallback) const;
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  bool HasSection(std::string_view section) const;
  // The names of the sections, trimmed, in file order (a name that appears twice is listed twice).
  std::vector<std::string> SectionNames() const;

  // False (and the document unchanged) when the names or the value cannot be stored.
  [[nodiscard]] bool Write(std::string_view section, std::string_view key, std::string_view value);
  // True when something was removed.
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);
  // Gives every section named `from` the name `to`, keeping its keys and comments.
  bool RenameSection(std::string_view from, std::string_view to);

 private:
  struct Line {
    std::string text;  // the line without its end
    std::string end;   // "\r\n", "\n" or "" (the last line of a file without a final line end)
  };
  struct Range {
    size_t header;  // index of the section line
    size_t end;     // one past the section's last line (the next section line, or the end)
  };
  // The sections of one name (lower case), and the keys of the first of them.
  struct SectionIndex {
    std::vector<size_t> headers;                   // every section line of the name, in file order
    std::unordered_map<std::string, size_t> keys;  // key name (lower case) -> its first line
  };
  struct Index {
    std::vector<size_t> headers;  // every section line, in file order
    std::unordered_map<std::string, SectionIndex> sections;
  };
  Index& Indexed() const;
  void IndexKeys(const Index& index, SectionIndex& section) const;
  size_t SectionEnd(const Index& index, size_t header) const;
  std::vector<Range> Sections(std::string_view name) const;
  std::optional<size_t> FindKey(std::string_view section, std::string_view key) const;
  void LinesChanged() { index_.reset(); }
  void EnsureLastLineEnds();

  std::vector<Line> lines_;
  mutable std::optional<Index> index_;  // built by the first read after a change of lines
};

namespace testing {

// Lets a test break an INI write at its most delicate points.
enum class IniSaveFault {
  None,               // write normally
  FailWrite,          // the temporary file cannot be written (as on a full disk)
  CrashBeforeRename,  // the program dies after writing the temporary file, before the rename
};
// Called once per file write with the file's name; nullptr removes the hook.
using IniSaveHook = std::function<IniSaveFault(const std::string& file)>;
void SetIniSaveHook(IniSaveHook hook);
// Whether writes wait for the disk (fsync) before the rename; on unless a test that writes
// thousands of times turns it off.
void SetIniSyncToDisk(bool sync);

}  // namespace testing

}  // namespace platform
