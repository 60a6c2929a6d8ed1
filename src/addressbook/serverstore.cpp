#include "addressbook/serverstore.h"

#include <algorithm>
#include <optional>

#include "common/password.h"
#include "platform/convert.h"
#include "platform/ini.h"
#include "platform/paths.h"

namespace addressbook {

std::string ServerSection(int index) { return "Server" + platform::IntToStr(index); }

namespace {

constexpr const char* kCommon = "Common";

std::string Scramble(const std::string& text) { return ScramblePassword(text); }

bool FitsPlainValue(const std::string& scrambled) {
  return scrambled.size() <= platform::kIniMaxValueLength &&
         scrambled.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

std::string ToHex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out += digits[b >> 4];
    out += digits[b & 0xF];
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> FromHex(const std::string& hex) {
  if (hex.empty() || hex.size() % 2 != 0) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int hi = HexDigit(hex[i]);
    const int lo = HexDigit(hex[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
  }
  return out;
}

// The unscrambled password of a section: from the hexadecimal key when it holds a valid one,
// else from rconPassword as the file has always held it.
std::string StoredPassword(const platform::IniDocument& doc, const std::string& section) {
  if (const auto hex = doc.Value(section, kPasswordHexKey))
    if (const auto scrambled = FromHex(*hex)) return Scramble(*scrambled);
  return Scramble(doc.ReadString(section, "rconPassword", ""));
}

ServerEntry ListedEntry(const platform::IniDocument& doc, const std::string& section) {
  ServerEntry e;
  e.HostName = doc.ReadString(section, "HostName", "");
  e.Port = doc.ReadString(section, "Port", "");
  e.Description = doc.ReadString(section, "Description", "");
  e.GameType = doc.ReadInteger(section, "GameType", 0);
  return e;
}

}  // namespace
}  // namespace addressbook

using addressbook::ServerSection;

std::vector<ServerEntry> LoadServerList() {
  const auto doc = platform::IniDocument::Load(platform::IniFileName());
  const int count = std::min(doc.ReadInteger("Common", "NumServers", 0), addressbook::kMaxServers);
  std::vector<ServerEntry> list;
  for (int n = 0; n < count; ++n) list.push_back(addressbook::ListedEntry(doc, ServerSection(n)));
  return list;
}

ServerEntry ReadEntry(int index) {
  const auto doc = platform::IniDocument::Load(platform::IniFileName());
  const std::string section = ServerSection(index);
  ServerEntry e = addressbook::ListedEntry(doc, section);
  e.Password = addressbook::StoredPassword(doc, section);
  return e;
}

std::string ReadEntryPassword(int index) {
  return addressbook::StoredPassword(platform::IniDocument::Load(platform::IniFileName()), ServerSection(index));
}

void WriteEntry(int index, const ServerEntry& entry, int count) {
  const std::string file = platform::IniFileName();
  const std::string section = ServerSection(index);
  auto put = [&](const std::string& key, const std::string& value) { platform::IniWriteStringOrRaise(section, key, value, file); };
  put("Hostname", entry.HostName);
  put("Port", entry.Port);
  put("GameType", platform::IntToStr(entry.GameType));
  const std::string scrambled = addressbook::Scramble(entry.Password);
  if (addressbook::FitsPlainValue(scrambled)) {
    put("rconPassword", scrambled);
    // Written after rconPassword: until it is gone, an interrupted save still reads the old password.
    if (!platform::IniDeleteKey(section, addressbook::kPasswordHexKey, file)) platform::RaiseIniWriteError(file);
  } else {
    put(addressbook::kPasswordHexKey, addressbook::ToHex(scrambled));
    put("rconPassword", "");
  }
  put("Description", entry.Description);
  platform::IniWriteStringOrRaise(addressbook::kCommon, "NumServers", platform::IntToStr(count), file);
}

void DeleteEntry(int index, int count) {
  if (index < 0 || index >= count) return;
  const std::string file = platform::IniFileName();
  auto doc = platform::IniDocument::LoadForUpdate(file);
  if (!doc) platform::RaiseIniWriteError(file);
  doc->DeleteSection(ServerSection(index));
  for (int n = index + 1; n < count; ++n) doc->RenameSection(ServerSection(n), ServerSection(n - 1));
  if (!doc->Write(addressbook::kCommon, "NumServers", platform::IntToStr(count - 1)) || !doc->Save(file))
    platform::RaiseIniWriteError(file);
}
