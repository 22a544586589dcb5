#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// The local socket on which the program running on a data directory hears
// the other programs of the same user: a later start asking for its window,
// kelvoctl handing it a delete. One request line per connection, one answer
// line back.
namespace channel {

// The socket's and the fallback lock's paths for a data directory, in the
// private runtime directory; nullopt (and the reason in `why`) without one.
std::optional<std::string> socketPath(const std::string& dataDir, std::string* why = nullptr);
std::optional<std::string> lockPath(const std::string& dataDir, std::string* why = nullptr);

// The file in the data directory that the program running on it locks for
// its whole life. It holds the path of the program's socket and a line end,
// so that a later start and kelvoctl find the program whatever their own
// environment says (a shell without XDG_RUNTIME_DIR, another TMPDIR).
inline constexpr std::string_view kDirectoryLock = "Kelvo.lock";
// Writes the socket's path into the lock file open as `lockFd`; false when
// it cannot be written (a lock file opened read-only).
bool recordSocket(int lockFd, const std::string& socket);
// The sockets on which the program running on the data directory may
// listen: the one its lock file names, then the one this environment names;
// each once.
std::vector<std::string> socketsOf(const std::string& dataDir);

// Whether the process at the other end of a connected local socket runs as
// this user.
bool peerIsThisUser(int fd);

// Requests, each without its line end.
inline constexpr std::string_view kShow = "show";
std::string deleteRequest(const std::vector<int32_t>& items);
// The item numbers of a delete request; nullopt for any other line.
std::optional<std::vector<int32_t>> parseDeleteRequest(std::string_view line);

// Answers: "ok", or "error " and a one-line reason.
inline constexpr std::string_view kOk = "ok";
std::string errorAnswer(std::string_view reason);

// Sends one request to the program listening on the socket and returns its
// answer line; nullopt when no program of this user listens there. Waits
// for the answer at most `timeoutMs` (an answer not come by then is empty).
std::optional<std::string> ask(const std::string& socket, std::string_view request, int timeoutMs);
// Whether a program of this user listens on the socket; nothing is asked.
bool listening(const std::string& socket);

} // namespace channel
} // namespace kelvo
