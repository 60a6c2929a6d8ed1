#pragma once
// Where Corvane finds its files. The program works out of its current directory: the INI
// file, the settings description files, the map lists and pictures all lie below it. The
// directory is taken once at start-up, so a file dialog that browses elsewhere never moves
// the INI file. Paths are written the Windows way ("levels\Quake3\q3dm17.jpg"); NativePath is
// the one place that turns them into paths of this machine.
#include <string>
#include <string_view>

namespace platform {

// Takes the process's current directory as the program's directory (called once by main).
void InitCurrentDirectory();
// Sets the program's directory explicitly (tests, and the launcher of an installed copy).
void SetCurrentDirectory(const std::string& nativeDir);
// The program's directory as a native path without a trailing separator.
const std::string& CurrentDirectory();

// Maps a Windows-style path ("\" or "/" separated; relative to the program's directory, or
// absolute) to a native path. A component that does not exist under its exact name is
// matched without regard to letter case among the entries of its folder, as Windows file
// names are case-blind; a component with no match at all is kept as written.
std::string NativePath(std::string_view windowsPath);

// The program's INI file: the program's directory + "\Corvane.ini", as a native path.
std::string IniFileName();

}  // namespace platform
