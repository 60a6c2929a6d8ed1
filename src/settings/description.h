#pragma once
// The settings description file: which server variables the settings dialog shows, in which
// grid cell, with which kind of input, default and hint. One file per game beside the
// program ("q3-default.ini", "q2-default.ini"), read with the private-profile rules:
//
//   [Common]
//   NumFields=2
//   [Field1]
//   Type=STRING            STRING, INT or BOOL (any case); anything else makes a caption only
//   Name=sv_hostname       the variable; also the caption and the identity of the input
//   Default=noname         shown in the tooltip
//   Hint=Server name       shown in the tooltip
//
// A field section without Name (or missing altogether) counts as Name=EMPTY: it shows nothing
// but keeps its grid cell.
#include <string>
#include <vector>

#include "protocol/game.h"

namespace platform {
class IniDocument;
}

namespace settings {

struct FieldDescription {
  std::string type;
  std::string name = "EMPTY";
  std::string defaultValue;
  std::string hint;
};

// The most fields the settings dialog builds: several times all the variables a server has,
// and far more than a dialog can be used for. A file that asks for more (by a slip or on
// purpose) gets the first ones and a message, not a dialog that takes minutes and gigabytes
// to build.
inline constexpr int kMaxFields = 2000;

struct Description {
  int numFields = 0;  // as the file gives it (0 when missing or not a number)
  // The fields the file asks for: NumFields, but no further than its last "FieldN" section.
  // Sections past the last one that exists would all read as EMPTY and show nothing, so they
  // are not counted: a wild NumFields costs no time.
  int described = 0;
  // Field1, Field2, ... in order: the first `described` fields, at most kMaxFields.
  std::vector<FieldDescription> fields;

  bool Truncated() const { return described > static_cast<int>(fields.size()); }
};

Description ReadDescription(const platform::IniDocument& ini);
// What the administrator is told when a file asks for more than kMaxFields fields.
std::string TruncationNotice(const std::string& fileName, const Description& description);
// A missing or unreadable file reads as an empty description.
Description ReadDescriptionFile(const std::string& nativeFile);

// The game's description file in the program's directory, as a native path, formed at each
// call so that it follows the directory of the moment.
std::string DescriptionFileName(const protocol::GameTraits& game);

}  // namespace settings
