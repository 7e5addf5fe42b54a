#include "FakeUsbBus.h"

#include <umockdev.h>

#include <dirent.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <stdexcept>

namespace {

constexpr uint8_t kEndpointOut = 0x01;
constexpr uint8_t kEndpointIn = 0x82;
constexpr int kSetupSize = 8;

std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (uint8_t b : bytes) {
    s += digits[b >> 4];
    s += digits[b & 15];
  }
  return s;
}

// Device descriptor plus one configuration with one interface and a bulk
// endpoint pair, as the sysfs "descriptors" file holds them.
std::vector<uint8_t> Descriptors(const FakeDevice& d) {
  return {
      18,
      1,
      0x00,
      0x02,
      0,
      0,
      0,
      64,
      0x5d,
      0x3a,
      0x01,
      0x00,
      0x00,
      0x01,
      0,
      0,
      0,
      1,  // device
      9,
      2,
      32,
      0,
      1,
      1,
      0,
      0xc0,
      50,  // configuration
      9,
      4,
      d.interfaceNumber,
      0,
      2,
      d.interfaceClass,
      1,
      d.interfaceProtocol,
      0,  // interface
      7,
      5,
      kEndpointOut,
      2,
      64,
      0,
      0,  // bulk out
      7,
      5,
      kEndpointIn,
      2,
      64,
      0,
      0,  // bulk in
  };
}

}  // namespace

struct FakeUsbBus::State {
  struct Device {
    FakeDevice script;
    std::string node;     // /dev/bus/usb/001/00N
    std::string sysPath;  // /sys/devices/...
    bool unplugged = false;
    int claimed = 0;
    int lastValue = -1;
    int lastIndex = -1;
    std::vector<uint8_t> written;
    std::vector<UMockdevIoctlData*> pending;  // bulk-in reads waiting for data
    std::deque<UMockdevIoctlData*> done;      // completed, waiting to be reaped
  };

  UMockdevTestbed* testbed = nullptr;
  UMockdevIoctlBase* handler = nullptr;
  mutable std::mutex mutex;
  std::map<int, Device> devices;
  int nextNumber = 2;

  Device* Find(const char* node) {
    for (auto& [n, d] : devices)
      if (d.node == node) return &d;
    return nullptr;
  }

  static gboolean Ioctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, State* self) {
    std::lock_guard<std::mutex> lock(self->mutex);
    Device* d = self->Find(umockdev_ioctl_client_get_devnode(client));
    if (d == nullptr) return FALSE;
    const auto fail = [client](int err) {
      umockdev_ioctl_client_complete(client, -1, err);
      return TRUE;
    };
    const auto ok = [client]() {
      umockdev_ioctl_client_complete(client, 0, 0);
      return TRUE;
    };
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    if (d->unplugged) return fail(ENODEV);

    switch (request) {
      case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(uint32_t), nullptr);
        *reinterpret_cast<uint32_t*>(caps->data) =
            USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
        g_object_unref(caps);
        return ok();
      }
      case USBDEVFS_CLAIMINTERFACE:
      case USBDEVFS_DISCONNECT_CLAIM:
        if (d->script.claimErrno != 0) return fail(d->script.claimErrno);
        ++d->claimed;
        return ok();
      case USBDEVFS_RELEASEINTERFACE:
        d->claimed = std::max(0, d->claimed - 1);
        return ok();
      case USBDEVFS_GETDRIVER:
      case USBDEVFS_IOCTL:  // no kernel driver to detach or re-attach
        return fail(ENODATA);
      case USBDEVFS_SETINTERFACE:
      case USBDEVFS_SETCONFIGURATION:
      case USBDEVFS_CLEAR_HALT:
      case USBDEVFS_RESETEP:
      case USBDEVFS_RESET:
        return ok();
      case USBDEVFS_SUBMITURB:
        return self->Submit(*d, client, arg);
      case USBDEVFS_REAPURB:
      case USBDEVFS_REAPURBNDELAY: {
        if (d->done.empty()) return fail(EAGAIN);
        UMockdevIoctlData* urb = d->done.front();
        d->done.pop_front();
        UMockdevIoctlData* ptr = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
        umockdev_ioctl_data_set_ptr(ptr, 0, urb);
        g_object_unref(ptr);
        g_object_unref(urb);
        return ok();
      }
      case USBDEVFS_DISCARDURB: {
        const auto it = std::find_if(d->pending.begin(), d->pending.end(), [arg](UMockdevIoctlData* u) {
          return u->client_addr == *reinterpret_cast<gulong*>(arg->data);
        });
        if (it == d->pending.end()) return fail(EINVAL);
        reinterpret_cast<usbdevfs_urb*>((*it)->data)->status = -ENOENT;
        d->done.push_back(*it);
        d->pending.erase(it);
        return ok();
      }
      default:
        return fail(ENOTTY);
    }
  }

  gboolean Submit(Device& d, UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    UMockdevIoctlData* urbData = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
    auto* urb = reinterpret_cast<usbdevfs_urb*>(urbData->data);
    UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(urbData, G_STRUCT_OFFSET(usbdevfs_urb, buffer),
                                                            static_cast<gsize>(urb->buffer_length), nullptr);
    g_object_unref(buffer);  // urbData keeps it
    auto* bytes = static_cast<uint8_t*>(urb->buffer);
    urb->status = 0;
    urb->actual_length = 0;

    if (urb->type == USBDEVFS_URB_TYPE_CONTROL && urb->buffer_length >= kSetupSize) {
      const int requestType = bytes[0], request = bytes[1];
      const int value = bytes[2] | (bytes[3] << 8);
      const int index = bytes[4] | (bytes[5] << 8);
      const int length = bytes[6] | (bytes[7] << 8);
      if (requestType == 0xA1 && request == 0) {
        d.lastValue = value;
        d.lastIndex = index;
      }
      if (requestType == 0xA1 && request == 0 && !d.script.stallDeviceId) {
        const int n = std::min({length, urb->buffer_length - kSetupSize, static_cast<int>(d.script.deviceId.size())});
        std::memcpy(bytes + kSetupSize, d.script.deviceId.data(), static_cast<std::size_t>(n));
        urb->actual_length = n;
      } else {
        urb->status = -EPIPE;
      }
      d.done.push_back(urbData);
    } else if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == kEndpointOut) {
      if (d.script.stallWrites) {
        urb->status = -EPIPE;
      } else {
        d.written.insert(d.written.end(), bytes, bytes + urb->buffer_length);
        urb->actual_length = urb->buffer_length;
      }
      d.done.push_back(urbData);
    } else if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == kEndpointIn) {
      d.pending.push_back(urbData);
      ServeReads(d);
    } else {
      g_object_unref(urbData);
      umockdev_ioctl_client_complete(client, -1, EINVAL);
      return TRUE;
    }
    umockdev_ioctl_client_complete(client, 0, 0);
    return TRUE;
  }

  // Completes waiting bulk-in reads while answers are queued.
  static void ServeReads(Device& d) {
    while (!d.pending.empty() && !d.script.replies.empty()) {
      UMockdevIoctlData* urbData = d.pending.front();
      d.pending.erase(d.pending.begin());
      auto* urb = reinterpret_cast<usbdevfs_urb*>(urbData->data);
      const std::vector<uint8_t> reply = std::move(d.script.replies.front());
      d.script.replies.pop_front();
      const int n = std::min(urb->buffer_length, static_cast<int>(reply.size()));
      std::memcpy(urb->buffer, reply.data(), static_cast<std::size_t>(n));
      urb->actual_length = n;
      d.done.push_back(urbData);
    }
  }
};

std::vector<uint8_t> DeviceIdAnswer(const std::string& text, bool littleEndian) {
  const std::size_t length = text.size() + 2;
  std::vector<uint8_t> answer;
  const auto high = static_cast<uint8_t>(length >> 8), low = static_cast<uint8_t>(length & 0xFF);
  answer.push_back(littleEndian ? low : high);
  answer.push_back(littleEndian ? high : low);
  answer.insert(answer.end(), text.begin(), text.end());
  return answer;
}

FakeUsbBus::FakeUsbBus() : m_state(std::make_unique<State>()) {
  m_state->testbed = umockdev_testbed_new();
  if (m_state->testbed == nullptr) throw std::runtime_error("umockdev testbed unavailable");
  m_state->handler = umockdev_ioctl_base_new();
  g_signal_connect_after(m_state->handler, "handle-ioctl", G_CALLBACK(State::Ioctl), m_state.get());
}

FakeUsbBus::~FakeUsbBus() {
  g_clear_object(&m_state->testbed);
  g_clear_object(&m_state->handler);
  for (auto& [n, d] : m_state->devices) {
    for (UMockdevIoctlData* u : d.pending) g_object_unref(u);
    for (UMockdevIoctlData* u : d.done) g_object_unref(u);
  }
}

int FakeUsbBus::Plug(const FakeDevice& device) {
  int number;
  std::string node;
  {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    number = m_state->nextNumber++;
    char buf[64];
    std::snprintf(buf, sizeof buf, "/dev/bus/usb/001/%03d", number);
    node = buf;
    State::Device& d = m_state->devices[number];
    d.script = device;
    d.node = node;
    d.sysPath = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(number);
  }
  if (!umockdev_testbed_attach_ioctl(m_state->testbed, node.c_str(), m_state->handler, nullptr))
    throw std::runtime_error("cannot attach ioctl handler to " + node);
  const std::string n = std::to_string(number);
  char devnum[8];
  std::snprintf(devnum, sizeof devnum, "%03d", number);
  const std::string description = "P: /devices/pci0000:00/0000:00:14.0/usb1/1-" + n +
                                  "\n"
                                  "N: bus/usb/001/" +
                                  devnum +
                                  "\n"
                                  "E: SUBSYSTEM=usb\n"
                                  "E: DEVTYPE=usb_device\n"
                                  "E: DRIVER=usb\n"
                                  "E: BUSNUM=001\n"
                                  "E: DEVNUM=" +
                                  devnum +
                                  "\n"
                                  "E: DEVNAME=" +
                                  node +
                                  "\n"
                                  "A: busnum=1\\n\n"
                                  "A: devnum=" +
                                  n +
                                  "\\n\n"
                                  "A: bConfigurationValue=1\\n\n"
                                  "A: speed=480\\n\n"
                                  "H: descriptors=" +
                                  Hex(Descriptors(device)) + "\n";
  GError* error = nullptr;
  if (!umockdev_testbed_add_from_string(m_state->testbed, description.c_str(), &error)) {
    const std::string message = error ? error->message : "unknown";
    g_clear_error(&error);
    throw std::runtime_error("cannot add device: " + message);
  }
  return number;
}

void FakeUsbBus::Unplug(int number) {
  std::string sysPath;
  {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    State::Device& d = m_state->devices.at(number);
    d.unplugged = true;  // an open handle now gets ENODEV, as from the kernel
    sysPath = d.sysPath;
  }
  umockdev_testbed_remove_device(m_state->testbed, sysPath.c_str());
}

void FakeUsbBus::DenyAccess(int number) {
  std::string node;
  {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    node = m_state->devices.at(number).node;
  }
  gchar* root = umockdev_testbed_get_root_dir(m_state->testbed);
  const std::string path = std::string(root) + node;
  g_free(root);
  if (chmod(path.c_str(), 0) != 0) throw std::runtime_error("cannot chmod " + path);
}

void FakeUsbBus::QueueReply(int number, std::vector<uint8_t> reply) {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  State::Device& d = m_state->devices.at(number);
  d.script.replies.push_back(std::move(reply));
  State::ServeReads(d);
}

std::vector<uint8_t> FakeUsbBus::Written(int number) const {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  return m_state->devices.at(number).written;
}

int FakeUsbBus::OpenFiles(int number) const {
  std::string node;
  {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    node = m_state->devices.at(number).node;
  }
  // The emulated node lives below the testbed's root; count this process's
  // descriptors that point at it.
  int count = 0;
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return -1;
  while (dirent* entry = readdir(dir)) {
    char target[4096];
    const std::string link = std::string("/proc/self/fd/") + entry->d_name;
    const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    if (n <= 0) continue;
    const std::string path(target, static_cast<std::size_t>(n));
    if (path.size() >= node.size() && path.compare(path.size() - node.size(), node.size(), node) == 0) ++count;
  }
  closedir(dir);
  return count;
}

int FakeUsbBus::ClaimedInterfaces(int number) const {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  return m_state->devices.at(number).claimed;
}

int FakeUsbBus::LastDeviceIdValue(int number) const {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  return m_state->devices.at(number).lastValue;
}

int FakeUsbBus::LastDeviceIdIndex(int number) const {
  std::lock_guard<std::mutex> lock(m_state->mutex);
  return m_state->devices.at(number).lastIndex;
}
