#pragma once
// The remote command "cvarlist": every server variable with its value, in one reply that the
// server prints into several datagrams, cut wherever its print buffer is full.
//
//   ioquake3, Quake 3:  flag columns, a blank, the name, a blank, the value in double quotes,
//                       then an empty line, "N total cvars" and "N cvar indexes":
//                         S    A    sv_hostname "^1Red^7Test"
//   Quake 2 (id, Yamagi): four flag characters, then the same; closing "N cvars".
//   Q2PRO:              name "value"; closing "N of M cvars".
//
// The value stands exactly as the server holds it: no colour reset is printed after it (the
// answer to a single query has one) and nothing inside it is escaped, so a value holding a
// double quote runs to the last quote of its line.
//
// The listing holds the server's remote password in clear ("rconpassword", Quake 2's
// "rcon_password"): the reader drops that line as it parses it and wipes the text it held.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/cvars.h"
#include "protocol/game.h"

namespace protocol {

inline constexpr std::string_view kCvarListCommand = "cvarlist";

// marker + "rcon " + password + " cvarlist".
std::string CvarListDatagram(std::string_view password);

// Whether a listed name is the server's remote password, never kept.
bool IsRemotePasswordName(std::string_view name);

// Overwrites a text that held a datagram of the listing, then empties it.
void WipeText(std::string& text);

// Joins the datagrams of one listing in arrival order and reads each line once it is whole.
class CvarListReader {
 public:
  enum class State {
    Reading,   // the closing count line has not come yet
    Complete,  // closed, and every variable the count announces was read
    Broken,    // closed short of its count, or a line out of form: a datagram was lost
    Refused,   // the server refused the password
  };

  // A listing never grows past this; a longer one is Broken.
  static constexpr std::size_t kMaxText = 1024 * 1024;

  explicit CvarListReader(const GameTraits& game) : game_(&game) {}
  ~CvarListReader();
  CvarListReader(const CvarListReader&) = delete;
  CvarListReader& operator=(const CvarListReader&) = delete;

  // One datagram of the reply. Datagrams that are not printed output are ignored, and so is
  // everything once the listing has ended.
  State Feed(std::string_view datagram);
  State Status() const { return state_; }
  // The variables read so far, in listing order, the remote password left out.
  const std::vector<CvarReply>& Variables() const { return variables_; }

 private:
  void ReadLine(std::string_view line);
  void Close(std::size_t announced);

  const GameTraits* game_;
  State state_ = State::Reading;
  bool started_ = false;
  std::string partial_;  // the text of a line not yet ended
  std::size_t text_ = 0;
  std::size_t lines_ = 0;
  std::vector<CvarReply> variables_;
};

}  // namespace protocol
