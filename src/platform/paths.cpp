#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/ascii.h"

namespace platform {
namespace {

std::string& Directory() {
  static std::string dir;
  return dir;
}

bool Exists(const std::string& path) {
  struct stat st{};
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `name` ignoring case, or `name` itself.
std::string MatchInFolder(const std::string& folder, const std::string& name) {
  DIR* d = ::opendir(folder.empty() ? "/" : folder.c_str());
  if (!d) return name;
  std::string found = name;
  while (dirent* e = ::readdir(d)) {
    if (SameTextNoCase(e->d_name, name)) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

std::vector<std::string> SplitComponents(std::string_view path) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

}  // namespace

void InitCurrentDirectory() {
  std::vector<char> buf(4096);
  if (::getcwd(buf.data(), buf.size())) SetCurrentDirectory(buf.data());
}

void SetCurrentDirectory(const std::string& nativeDir) {
  std::string dir = nativeDir;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  Directory() = dir;
}

const std::string& CurrentDirectory() {
  if (Directory().empty()) InitCurrentDirectory();
  return Directory();
}

std::string NativePath(std::string_view windowsPath) {
  const bool absolute = !windowsPath.empty() && windowsPath.front() == '/';
  std::string result = absolute ? std::string() : CurrentDirectory();
  if (result == "/") result.clear();
  for (const std::string& part : SplitComponents(windowsPath)) {
    std::string candidate = result + "/" + part;
    if (part != "." && part != ".." && !Exists(candidate)) candidate = result + "/" + MatchInFolder(result, part);
    result = candidate;
  }
  return result.empty() ? std::string("/") : result;
}

std::string IniFileName() { return NativePath(CurrentDirectory() + "\\Corvane.ini"); }

}  // namespace platform
