#include "platform/system/ZedWirelessIoctl.h"

#include <linux/wireless.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr std::size_t kMaximumScanBuffer = 1 << 20;

// In the stream an event is its 4-byte header (length, command) and, for pointer payloads, a
// 4-byte length and flags followed by the data itself.
constexpr std::size_t kEventHeaderLength = 4;
constexpr std::size_t kPointerHeaderLength = kEventHeaderLength + 4;

class Socket {
  public:
    Socket() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}
    ~Socket() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

bool prepare(iwreq& request, const std::string& interface) {
    std::memset(&request, 0, sizeof request);
    if (interface.empty() || interface.size() >= sizeof request.ifr_name) {
        return false;
    }
    std::memcpy(request.ifr_name, interface.c_str(), interface.size());
    return true;
}

}  // namespace

namespace ZedWirelessIoctl {

std::optional<std::string> currentSSID(const std::string& interface) {
    Socket socket;
    iwreq request;
    if (socket.fd() < 0 || !prepare(request, interface)) {
        return std::nullopt;
    }
    char name[IW_ESSID_MAX_SIZE + 1] = {};
    request.u.essid.pointer = name;
    request.u.essid.length = IW_ESSID_MAX_SIZE;
    if (::ioctl(socket.fd(), SIOCGIWESSID, &request) != 0 || request.u.essid.length == 0) {
        return std::nullopt;
    }
    return std::string(name, std::min<std::size_t>(request.u.essid.length, IW_ESSID_MAX_SIZE));
}

std::vector<std::string> scannedSSIDs(const std::string& interface) {
    Socket socket;
    iwreq request;
    if (socket.fd() < 0 || !prepare(request, interface)) {
        return {};
    }
    std::vector<std::uint8_t> buffer(IW_SCAN_MAX_DATA);
    for (;;) {
        request.u.data.pointer = buffer.data();
        request.u.data.length =
            static_cast<std::uint16_t>(std::min<std::size_t>(buffer.size(), 0xFFFF));
        request.u.data.flags = 0;
        if (::ioctl(socket.fd(), SIOCGIWSCAN, &request) == 0) {
            buffer.resize(request.u.data.length);
            return parseScanResults(buffer);
        }
        if (errno != E2BIG || buffer.size() >= 0xFFFF || buffer.size() * 2 > kMaximumScanBuffer) {
            return {};
        }
        buffer.resize(std::min<std::size_t>(buffer.size() * 2, 0xFFFF));
    }
}

std::vector<std::string> parseScanResults(const std::vector<std::uint8_t>& stream) {
    std::vector<std::string> names;
    std::size_t offset = 0;
    while (offset + kEventHeaderLength <= stream.size()) {
        std::uint16_t length;
        std::uint16_t command;
        std::memcpy(&length, &stream[offset], sizeof length);
        std::memcpy(&command, &stream[offset + 2], sizeof command);
        if (length < kEventHeaderLength || offset + length > stream.size()) {
            break;  // a damaged stream ends the list rather than reading past it
        }
        if (command == SIOCGIWESSID && length >= kPointerHeaderLength) {
            std::uint16_t nameLength;
            std::memcpy(&nameLength, &stream[offset + kEventHeaderLength], sizeof nameLength);
            const std::size_t available = length - kPointerHeaderLength;
            const std::size_t taken = std::min<std::size_t>(nameLength, available);
            if (taken > 0) {
                const auto* start = &stream[offset + kPointerHeaderLength];
                names.emplace_back(reinterpret_cast<const char*>(start), taken);
            }
        }
        offset += length;
    }
    return names;
}

}  // namespace ZedWirelessIoctl
