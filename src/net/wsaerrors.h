#pragma once
// Windows Sockets error codes over the POSIX socket layer. The socket components report every
// failure with the Windows Sockets number and its fixed English text, whatever the system
// beneath says, so the codes the program stores and shows are the same on every platform.
#include <string>

namespace net {

// The codes the components handle by name.
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEMSGSIZE = 10040;
constexpr int WSAENETUNREACH = 10051;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAEHOSTUNREACH = 10065;
constexpr int WSANOTINITIALISED = 10093;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSATRY_AGAIN = 11002;
constexpr int WSANO_RECOVERY = 11003;
constexpr int WSANO_DATA = 11004;

// The Windows Sockets code for a POSIX errno value: 10000 plus the classic BSD number for
// the socket errors (EWOULDBLOCK and EAGAIN give 10035, ECONNREFUSED 10061), a near
// equivalent for the few Linux-only values a socket call returns (EPIPE: send after
// shutdown, 10058; ENOMEM: 10055; EPERM: 10013; ENFILE: 10024). 0 stays 0; a value with no
// Windows Sockets counterpart is returned unchanged (its text is "Not a Winsock error").
int WinsockErrorFromErrno(int error);

// The Windows Sockets code for a getaddrinfo/getnameinfo result: EAI_NONAME 11001 "Host not
// found", EAI_AGAIN 11002, EAI_FAIL 11003, EAI_NODATA and EAI_ADDRFAMILY (a name without an
// address) 11004, EAI_MEMORY 10055; EAI_SYSTEM uses the errno value given, or 11003 when there
// is none, as does any other failure. 0 stays 0.
int WinsockErrorFromAddrInfo(int result, int error = 0);

// The fixed text of a code; "Not a Winsock error" for any code outside the table, 0 included.
std::string WinsockErrorText(int code);

}  // namespace net
