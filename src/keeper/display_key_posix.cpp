// Which X server a DISPLAY names: a local server under any spelling of this
// machine is one server, and so one keeper.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "keeper/keeper_lock.h"

namespace tonalis {

namespace {

bool SameAddress(const sockaddr* a, const sockaddr* b) {
    if (a == nullptr || b == nullptr || a->sa_family != b->sa_family) {
        return false;
    }
    if (a->sa_family == AF_INET) {
        return reinterpret_cast<const sockaddr_in*>(a)->sin_addr.s_addr ==
               reinterpret_cast<const sockaddr_in*>(b)->sin_addr.s_addr;
    }
    return a->sa_family == AF_INET6 &&
           std::memcmp(&reinterpret_cast<const sockaddr_in6*>(a)->sin6_addr,
                       &reinterpret_cast<const sockaddr_in6*>(b)->sin6_addr, sizeof(in6_addr)) == 0;
}

bool IsLoopback(const sockaddr* address) {
    if (address->sa_family == AF_INET) {
        return (ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr) >> 24) == 127;
    }
    return address->sa_family == AF_INET6 &&
           IN6_IS_ADDR_LOOPBACK(&reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr);
}

// This machine: its own name, a loopback address or one of its interfaces'.
bool IsThisMachine(const std::string& host) {
    char name[256] = {};
    if (host.empty() || host == "unix" ||
        (gethostname(name, sizeof name - 1) == 0 && strcasecmp(name, host.c_str()) == 0)) {
        return true;
    }
    addrinfo asked = {};
    asked.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &asked, &found) != 0) {
        return false;
    }
    ifaddrs* interfaces = nullptr;
    getifaddrs(&interfaces);
    bool local = false;
    for (const addrinfo* address = found; address != nullptr && !local;
         address = address->ai_next) {
        local = IsLoopback(address->ai_addr);
        for (const ifaddrs* own = interfaces; own != nullptr && !local; own = own->ifa_next) {
            local = SameAddress(address->ai_addr, own->ifa_addr);
        }
    }
    freeaddrinfo(found);
    freeifaddrs(interfaces);
    return local;
}

}  // namespace

// "[protocol/]host:number[.screen]", as XCB reads it.
std::string DisplayKey(const std::string& display) {
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos) {
        return display;
    }
    std::string host = display.substr(0, colon);
    std::string number = display.substr(colon + 1);
    number.erase(std::min(number.find('.'), number.size()));
    const size_t slash = host.find('/');
    if (slash != std::string::npos && slash != 0) {
        host.erase(0, slash + 1);
    }
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    if (IsThisMachine(host)) {
        return ":" + number;
    }
    for (char& c : host) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return host + ":" + number;
}

}  // namespace tonalis
