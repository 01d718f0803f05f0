// Linked into every test and benchmark: a connection or datagram to anywhere but this machine's
// loopback addresses aborts the process, so no test can reach a real unit, modem peer or server.

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

bool isLoopbackV4(in_addr address)
{
    return (ntohl(address.s_addr) >> 24) == 127;
}

bool isAllowed(const sockaddr* address, socklen_t length)
{
    if (address == nullptr)
        return true;
    switch (address->sa_family) {
    case AF_UNIX:
    case AF_UNSPEC: // dissolves a datagram association
        return true;
    case AF_INET: {
        if (length < sizeof(sockaddr_in))
            return false;
        sockaddr_in in{};
        std::memcpy(&in, address, sizeof in);
        return isLoopbackV4(in.sin_addr);
    }
    case AF_INET6: {
        if (length < sizeof(sockaddr_in6))
            return false;
        sockaddr_in6 in6{};
        std::memcpy(&in6, address, sizeof in6);
        if (IN6_IS_ADDR_LOOPBACK(&in6.sin6_addr))
            return true;
        if (IN6_IS_ADDR_V4MAPPED(&in6.sin6_addr)) {
            in_addr v4{};
            std::memcpy(&v4, &in6.sin6_addr.s6_addr[12], sizeof v4);
            return isLoopbackV4(v4);
        }
        return false;
    }
    default:
        return false;
    }
}

void refuse(const char* call, const sockaddr* address)
{
    char text[INET6_ADDRSTRLEN] = "?";
    if (address->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text,
                  sizeof text);
    else if (address->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text,
                  sizeof text);
    std::fprintf(stderr, "loopback guard: %s to %s refused; tests reach 127.0.0.0/8 only\n", call,
                 text);
    std::abort();
}

template <typename Fn> Fn next(const char* name)
{
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int connect(int fd, const sockaddr* address, socklen_t length)
{
    using Fn = int (*)(int, const sockaddr*, socklen_t);
    static const Fn real = next<Fn>("connect");
    if (!isAllowed(address, length))
        refuse("connect", address);
    return real(fd, address, length);
}

extern "C" ssize_t sendto(int fd, const void* data, size_t size, int flags, const sockaddr* address,
                          socklen_t length)
{
    using Fn = ssize_t (*)(int, const void*, size_t, int, const sockaddr*, socklen_t);
    static const Fn real = next<Fn>("sendto");
    if (!isAllowed(address, length))
        refuse("sendto", address);
    return real(fd, data, size, flags, address, length);
}
