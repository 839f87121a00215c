#include "app/acquisition/sources/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tidemet {

std::string ComPortDevice(int port) {
  if (port >= 1 && port <= 4) return "/dev/ttyS" + std::to_string(port - 1);
  if (port >= 5 && port <= 16) return "/dev/ttyUSB" + std::to_string(port - 5);
  return {};
}

void SerialPort::fail(const char* what, int err) {
  error_ = std::string(what) + ": " + std::strerror(err);
  close();
}

bool SerialPort::open(const std::string& path) {
  close();
  error_.clear();
  if (path.empty()) {
    error_ = "no such port";
    return false;
  }
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    error_ = std::strerror(errno);
    return false;
  }
  termios tio{};
  if (tcgetattr(fd_, &tio) != 0) {
    fail("not a serial port", errno);
    return false;
  }
  cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS | CSIZE);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  cfsetispeed(&tio, B9600);
  cfsetospeed(&tio, B9600);
  if (tcsetattr(fd_, TCSANOW, &tio) != 0) {
    fail("cannot set the line", errno);
    return false;
  }
  tcflush(fd_, TCIOFLUSH);
  return true;
}

void SerialPort::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

long SerialPort::readAvailable(std::span<uint8_t> into, size_t used) {
  if (fd_ < 0) return -1;
  while (used < into.size()) {
    const ssize_t n = ::read(fd_, into.data() + used, into.size() - used);
    if (n > 0) {
      used += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    // A raw line with no byte waiting answers 0 or EAGAIN, whichever the driver prefers.
    if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK) break;
    fail("read", errno);
    return -1;
  }
  // A hang-up may come with no byte and no error: ask once, without waiting. Reading on after
  // one would only repeat it.
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) &&
      !(p.revents & POLLIN)) {
    fail("read", EIO);
    return -1;
  }
  return static_cast<long>(used);
}

bool SerialPort::write(std::span<const uint8_t> bytes) {
  if (fd_ < 0) return false;
  size_t done = 0;
  int waits = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && ++waits < 3) {
      pollfd p{fd_, POLLOUT, 0};
      ::poll(&p, 1, 2);  // a command is a few bytes: a full output queue empties quickly or never
      continue;
    }
    fail("write", n < 0 ? errno : EIO);
    return false;
  }
  return true;
}

}  // namespace tidemet
