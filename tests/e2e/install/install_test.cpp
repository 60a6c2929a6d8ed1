// Installs the built tree into a scratch prefix and starts the installed launcher the way the
// desktop entry does, with a scratch home folder.
#include <gtest/gtest.h>

#include <QImage>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/jpeg.h"
#include "support/test_env.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Link(const std::string& path) {
  std::error_code ec;
  const fs::path target = fs::read_symlink(path, ec);
  return ec ? std::string() : target.string();
}

// The shipped data files, relative to data/ (hidden files are not shipped).
std::vector<fs::path> ShippedFiles() {
  std::vector<fs::path> files;
  const fs::path data = fs::path(test::SourceDir()) / "data";
  for (const auto& entry : fs::recursive_directory_iterator(data))
    if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
      files.push_back(fs::relative(entry.path(), data));
  return files;
}

// A running launcher: the program it became, stopped and reaped when the object goes.
class Started {
 public:
  Started(const fs::path& launcher, const std::vector<std::string>& settings) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      const std::string name = entry.substr(0, entry.find('='));
      if (name != "HOME" && name != "XDG_DATA_HOME" && name.rfind("CORVANE_", 0) != 0 && name != "QT_QPA_PLATFORM")
        env.push_back(entry);
    }
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.insert(env.end(), settings.begin(), settings.end());
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string path = launcher.string();
    char* argv[] = {path.data(), nullptr};
    if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, envp.data()) != 0) pid_ = -1;
  }

  ~Started() { Stop(); }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  // Waits until the launcher has become the program; false when it ended or took too long.
  bool WaitForProgram(const fs::path& program) {
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
      if (pid_ <= 0 || Reap(WNOHANG)) return false;
      if (Link(Proc("exe")) == program.string()) return true;
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }

  std::string Cwd() const { return Link(Proc("cwd")); }
  bool Running() { return pid_ > 0 && !Reap(WNOHANG); }

  // Ends the program: a polite signal, then a hard one; true when it was gone in time.
  bool Stop() {
    if (pid_ <= 0 || exited_) return true;
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
      if (Reap(WNOHANG)) return true;
      std::this_thread::sleep_for(20ms);
    }
    kill(pid_, SIGKILL);
    Reap(0);
    return false;
  }

  int Status() const { return status_; }

 private:
  std::string Proc(const char* what) const { return "/proc/" + std::to_string(pid_) + "/" + what; }
  bool Reap(int flags) {
    if (exited_) return true;
    if (waitpid(pid_, &status_, flags) == pid_) exited_ = true;
    return exited_;
  }

  pid_t pid_ = -1;
  int status_ = 0;
  bool exited_ = false;
};

class Install : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_ = fs::path(scratch_.Path()) / "prefix";
    home_ = fs::path(scratch_.Path()) / "home";
    fs::create_directories(home_);
    const std::string command = std::string("'") + CORVANE_CMAKE_COMMAND + "' --install '" + CORVANE_BINARY_DIR +
                                "' --prefix '" + prefix_.string() + "' > '" + scratch_.Path() + "/install.log' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << Read(scratch_.Path() + "/install.log");
  }

  fs::path Launcher() const { return prefix_ / "bin" / "corvane-launcher"; }
  fs::path Program() const { return prefix_ / "bin" / "corvane"; }
  fs::path Shipped() const { return prefix_ / "share" / "corvane" / "data"; }
  fs::path UserFolder() const { return home_ / ".local" / "share" / "corvane"; }

  // Starts the launcher, checks that the program runs in the user folder, and stops it.
  void RunOnce(const fs::path& folder, const std::vector<std::string>& settings) {
    Started started(Launcher(), settings);
    ASSERT_TRUE(started.WaitForProgram(Program())) << "the launcher did not start " << Program() << " (status "
                                                   << started.Status() << ")";
    EXPECT_EQ(started.Cwd(), folder.string());
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(started.Running()) << "the program ended by itself, status " << started.Status();
    EXPECT_TRUE(started.Stop()) << "the program did not stop on SIGTERM within 10 s";
  }

  void RunOnce() { RunOnce(UserFolder(), {"HOME=" + home_.string()}); }

  test::TempDir scratch_;
  fs::path prefix_, home_;
};

TEST_F(Install, PutsProgramDataDesktopEntryAndIconInPlace) {
  for (const fs::path& bin : {Program(), Launcher(), prefix_ / "bin" / "corvane-levelshots"})
    EXPECT_EQ(access(bin.c_str(), X_OK), 0) << bin << " is not an installed program";
  const auto files = ShippedFiles();
  ASSERT_FALSE(files.empty());
  for (const fs::path& file : files)
    EXPECT_EQ(Read(Shipped() / file), Read(fs::path(test::SourceDir()) / "data" / file)) << file;
  for (const auto& entry : fs::recursive_directory_iterator(Shipped()))
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path() << " is not data";
  EXPECT_TRUE(fs::exists(Shipped() / "levels" / "Quake3" / "q3-all-maps.txt"));
  EXPECT_TRUE(fs::exists(Shipped() / "players" / "Question.bmp"));

  const fs::path icons = prefix_ / "share" / "icons" / "hicolor";
  const fs::path icon = icons / "64x64" / "apps" / "corvane.png";
  EXPECT_EQ(Read(icon), Read(fs::path(test::SourceDir()) / "resources" / "images" / "corvane.png"));
  for (const char* size : {"16x16", "22x22", "24x24", "32x32", "48x48", "128x128", "256x256"})
    EXPECT_EQ(Read(icons / size / "apps" / "corvane.png").substr(1, 3), "PNG") << size;
  EXPECT_NE(Read(icons / "scalable" / "apps" / "corvane.svg").find("<svg "), std::string::npos);

  const fs::path entry = prefix_ / "share" / "applications" / "org.corvane.Corvane.desktop";
  const std::string desktop = Read(entry);
  ASSERT_EQ(desktop.rfind("[Desktop Entry]\n", 0), 0u) << desktop;
  EXPECT_NE(desktop.find("\nType=Application\n"), std::string::npos);
  EXPECT_NE(desktop.find("\nName=Corvane\n"), std::string::npos);
  EXPECT_NE(desktop.find("\nExec=" + Launcher().string() + "\n"), std::string::npos) << desktop;
  EXPECT_NE(desktop.find("\nIcon=" + icon.string() + "\n"), std::string::npos) << desktop;
  EXPECT_NE(desktop.find("\nCategories="), std::string::npos);
  const fs::path metainfo = prefix_ / "share" / "metainfo" / "org.corvane.Corvane.metainfo.xml";
  const std::string about = Read(metainfo);
  EXPECT_NE(about.find("<launchable type=\"desktop-id\">org.corvane.Corvane.desktop</launchable>"), std::string::npos);
  EXPECT_NE(about.find("<release version=\"" CORVANE_VERSION "\""), std::string::npos) << about;
  // Debian's own validators, as software centres and the package checks read these files.
  const std::string log = scratch_.Path() + "/validate.log";
  for (const std::string& command : {"appstreamcli validate --no-net '" + metainfo.string() + "'",
                                    "desktop-file-validate '" + entry.string() + "'"})
    EXPECT_EQ(std::system((command + " > '" + log + "' 2>&1").c_str()), 0)
        << command << " (Debian packages appstream, desktop-file-utils)\n" << Read(log);

  // One manual page, which the launcher's and the tool's names lead to; the package's papers.
  const fs::path man = prefix_ / "share" / "man" / "man1";
  EXPECT_EQ(Read(man / "corvane.1.gz").substr(0, 2), "\x1f\x8b") << "gzip-compressed";
  for (const char* name : {"corvane-launcher.1.gz", "corvane-levelshots.1.gz"})
    EXPECT_EQ(Read(man / name), Read(man / "corvane.1.gz")) << name;
  EXPECT_NE(Read(prefix_ / "share" / "doc" / "corvane" / "copyright").find("Upstream-Name: Corvane"), std::string::npos);
  EXPECT_EQ(Read(prefix_ / "share" / "doc" / "corvane" / "changelog.gz").substr(0, 2), "\x1f\x8b");
}

TEST_F(Install, FirstStartSeedsTheUserFolderAndKeepsCorvaneIni) {
  const std::string ini = "[Common]\r\nNumServers=1\r\n[Server0]\r\nHostName=127.0.0.1\r\nPassword=\x01\x02\xff\r\n";
  Write(UserFolder() / "Corvane.ini", ini);
  RunOnce();
  EXPECT_EQ(Read(UserFolder() / "Corvane.ini"), ini) << "Corvane.ini was changed";
  for (const fs::path& file : ShippedFiles())
    EXPECT_EQ(Read(UserFolder() / file), Read(Shipped() / file)) << file << " not seeded";
}

TEST_F(Install, LaterStartsRefreshShippedFilesButKeepTheUsers) {
  RunOnce();
  ASSERT_TRUE(fs::exists(UserFolder() / "q3-default.ini"));
  // The user edits one file, adds a level picture and keeps a server list; then a newer
  // installation ships changed files, and even (by mistake) a Corvane.ini of its own.
  const std::string edited = "[Common]\r\nNumFields=0\r\n";
  const std::string ini = "[Common]\r\nNumServers=0\r\n";
  Write(UserFolder() / "q3-default.ini", edited);
  Write(UserFolder() / "levels" / "Quake3" / "q3dm17.jpg", "picture");
  Write(UserFolder() / "Corvane.ini", ini);
  fs::remove(UserFolder() / "levels" / "Quake3" / "q3-ctf-maps.txt");
  Write(Shipped() / "q2-default.ini", "[Common]\r\nNumFields=0\r\n; newer\r\n");
  Write(Shipped() / "q3-default.ini", "[Common]\r\nNumFields=0\r\n; newer too\r\n");
  Write(Shipped() / "levels" / "Quake3" / "q3-new-maps.txt", "q3dm1\tArena Gate\r\n");
  Write(Shipped() / "Corvane.ini", "[Common]\r\nNumServers=5\r\n");

  RunOnce();
  EXPECT_EQ(Read(UserFolder() / "q2-default.ini"), Read(Shipped() / "q2-default.ini")) << "unchanged copy not refreshed";
  EXPECT_EQ(Read(UserFolder() / "q3-default.ini"), edited) << "the user's own edit was replaced";
  EXPECT_EQ(Read(UserFolder() / "levels" / "Quake3" / "q3-new-maps.txt"), "q3dm1\tArena Gate\r\n");
  EXPECT_EQ(Read(UserFolder() / "levels" / "Quake3" / "q3-ctf-maps.txt"), Read(Shipped() / "levels/Quake3/q3-ctf-maps.txt"));
  EXPECT_EQ(Read(UserFolder() / "levels" / "Quake3" / "q3dm17.jpg"), "picture");
  EXPECT_EQ(Read(UserFolder() / "Corvane.ini"), ini) << "Corvane.ini was changed";

  // Once the user's edit is gone again (the file deleted), the shipped version returns.
  fs::remove(UserFolder() / "q3-default.ini");
  RunOnce();
  EXPECT_EQ(Read(UserFolder() / "q3-default.ini"), Read(Shipped() / "q3-default.ini"));
  for (const auto& entry : fs::recursive_directory_iterator(UserFolder()))
    EXPECT_EQ(entry.path().string().find(".part."), std::string::npos) << entry.path();
}

// Where OpenArena is installed, the first start brings its level pictures into the user folder
// as JPEG files that the program's own decoder reads.
TEST_F(Install, FirstStartImportsTheLevelPicturesOfAnInstalledGame) {
  const fs::path openarena = "/usr/share/games/openarena/baseoa";
  if (!fs::exists(openarena / "pak1-maps.pk3")) GTEST_SKIP() << "OpenArena's data is not installed";
  RunOnce();
  int pictures = 0;
  for (const auto& entry : fs::directory_iterator(UserFolder() / "levels" / "Quake3")) {
    if (entry.path().extension() != ".jpg") continue;
    ++pictures;
    QImage picture;
    EXPECT_TRUE(platform::LoadJpeg(entry.path().string(), picture)) << entry.path();
    EXPECT_GE(picture.width(), 64) << entry.path();
  }
  EXPECT_GE(pictures, 70) << "OpenArena 0.8.8 has 77";
  EXPECT_NE(Read(UserFolder() / ".levelshots-imported").find(" level pictures found"), std::string::npos);
}

TEST_F(Install, UserFolderFollowsXdgDataHomeAndGetsNoShippedCorvaneIni) {
  // A Corvane.ini in the shipped data (a packaging mistake) must not become the user's.
  Write(Shipped() / "Corvane.ini", "[Common]\r\nNumServers=5\r\n");
  const fs::path data = fs::path(scratch_.Path()) / "xdg data";
  RunOnce(data / "corvane", {"HOME=" + home_.string(), "XDG_DATA_HOME=" + data.string()});
  EXPECT_TRUE(fs::exists(data / "corvane" / "q3-default.ini"));
  EXPECT_FALSE(fs::exists(data / "corvane" / "Corvane.ini"));
  EXPECT_FALSE(fs::exists(UserFolder()));
}

}  // namespace
