#pragma once
// A listening socket on 127.0.0.1 whose accept queue is full and that never
// accepts: a further connection attempt to it neither succeeds nor fails
// (the system drops its SYN and retries), as with a printer address where
// nobody answers, but without leaving the loopback network.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

class UnansweredListener {
 public:
  UnansweredListener() {
    m_iListener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (m_iListener < 0 || ::bind(m_iListener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_iListener, 0) != 0)
      return;
    socklen_t length = sizeof address;
    ::getsockname(m_iListener, reinterpret_cast<sockaddr*>(&address), &length);
    m_iPort = ntohs(address.sin_port);
    // A backlog of 0 still queues one connection; fill the queue so that
    // the next attempt hangs.
    for (int i = 0; i < 2; ++i) {
      const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
      ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
      m_objFillers.push_back(client);
    }
  }
  ~UnansweredListener() {
    for (int fd : m_objFillers) ::close(fd);
    if (m_iListener >= 0) ::close(m_iListener);
  }
  UnansweredListener(const UnansweredListener&) = delete;
  UnansweredListener& operator=(const UnansweredListener&) = delete;

  bool IsListening() const { return m_iPort != 0; }
  uint16_t Port() const { return m_iPort; }

 private:
  int m_iListener = -1;
  uint16_t m_iPort = 0;
  std::vector<int> m_objFillers;
};
