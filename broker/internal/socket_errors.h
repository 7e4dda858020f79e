// Windows-socket error numbers for POSIX failures. Callers and users rely on the Windows
// numbers and names (10061 "WSAECONNREFUSED"), so every socket failure is reported in them.
#pragma once

namespace vorn::net {

inline constexpr int WSAEINTR = 10004;
inline constexpr int WSAEBADF = 10009;
inline constexpr int WSAEACCES = 10013;
inline constexpr int WSAEFAULT = 10014;
inline constexpr int WSAEINVAL = 10022;
inline constexpr int WSAEMFILE = 10024;
inline constexpr int WSAEWOULDBLOCK = 10035;
inline constexpr int WSAEMSGSIZE = 10040;
inline constexpr int WSAENETDOWN = 10050;
inline constexpr int WSAECONNRESET = 10054;
inline constexpr int WSAESHUTDOWN = 10058;
inline constexpr int WSAETIMEDOUT = 10060;
inline constexpr int WSAECONNREFUSED = 10061;
inline constexpr int WSAHOST_NOT_FOUND = 11001;

// Maps an errno value to its Windows-socket number; values without a counterpart keep
// their errno number offset into the Windows range (10000 + errno), as Winsock does.
int WsaErrorFromErrno(int err);
// Maps a getaddrinfo() result to WSAHOST_NOT_FOUND, WSATRY_AGAIN, WSANO_RECOVERY or WSANO_DATA.
int WsaErrorFromResolver(int gaiError);

// The last socket failure of this thread, as a Windows-socket number (WSAGetLastError).
int LastSocketError();
void SetLastSocketError(int code);

}  // namespace vorn::net
