#include "PrinterLink.h"

#include "DeviceId.h"
#include "Diruvov.h"

#include <libusb.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace diruvov {

namespace {

constexpr uint8_t kPrinterClass = 7;
constexpr uint8_t kPrinterSubclass = 1;
constexpr uint8_t kBidirectionalProtocol = 2;
constexpr uint8_t kGetDeviceId = 0;
// Device IDs are short texts; a longer one is cut to this and still parsed.
constexpr int kDeviceIdBufferSize = 1024;

struct ConfigDeleter {
  void operator()(libusb_config_descriptor* c) const { libusb_free_config_descriptor(c); }
};
using ConfigPtr = std::unique_ptr<libusb_config_descriptor, ConfigDeleter>;

// The first bidirectional printer-class alternate setting with a bulk-out
// and a bulk-in endpoint.
bool FindInSetting(const libusb_interface_descriptor& s, PrinterLink::Interface& where) {
  if (s.bInterfaceClass != kPrinterClass || s.bInterfaceSubClass != kPrinterSubclass ||
      s.bInterfaceProtocol != kBidirectionalProtocol)
    return false;
  unsigned char out = 0, in = 0;
  int inPacket = 0;
  for (int e = 0; e < s.bNumEndpoints; ++e) {
    const libusb_endpoint_descriptor& ep = s.endpoint[e];
    if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK) continue;
    if ((ep.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN) {
      if (in == 0) {
        in = ep.bEndpointAddress;
        inPacket = ep.wMaxPacketSize & 0x7FF;
      }
    } else if (out == 0) {
      out = ep.bEndpointAddress;
    }
  }
  if (out == 0 || in == 0) return false;
  where.number = s.bInterfaceNumber;
  where.alternate = s.bAlternateSetting;
  where.endpointOut = out;
  where.endpointIn = in;
  where.inPacketSize = inPacket > 0 ? inPacket : 64;
  return true;
}

std::optional<PrinterLink::Interface> FindPrinterInterface(libusb_device* device) {
  PrinterLink::Interface where;
  libusb_config_descriptor* raw = nullptr;
  int r = libusb_get_active_config_descriptor(device, &raw);
  if (r == LIBUSB_ERROR_NOT_FOUND) {  // unconfigured: use the first configuration
    r = libusb_get_config_descriptor(device, 0, &raw);
    where.needsConfiguration = true;
  }
  if (r != 0 || raw == nullptr) return std::nullopt;
  ConfigPtr config(raw);
  where.configValue = config->bConfigurationValue;

  libusb_device_descriptor desc{};
  if (!where.needsConfiguration && libusb_get_device_descriptor(device, &desc) == 0) {
    for (int i = 0; i < desc.bNumConfigurations; ++i) {
      libusb_config_descriptor* other = nullptr;
      if (libusb_get_config_descriptor(device, static_cast<uint8_t>(i), &other) != 0) continue;
      const bool same = other->bConfigurationValue == config->bConfigurationValue;
      libusb_free_config_descriptor(other);
      if (same) {
        where.configIndex = i;
        break;
      }
    }
  }

  for (int i = 0; i < config->bNumInterfaces; ++i) {
    const libusb_interface& itf = config->interface[i];
    for (int a = 0; a < itf.num_altsetting; ++a)
      if (FindInSetting(itf.altsetting[a], where)) return where;
  }
  return std::nullopt;
}

}  // namespace

PrinterLink::~PrinterLink() { Close(); }

int32_t PrinterLink::Open() {
  Close();
  if (libusb_init(&m_context) != 0) {
    m_context = nullptr;
    return DIRUVOV_NOT_READY;
  }
  libusb_device** list = nullptr;
  const ssize_t count = libusb_get_device_list(m_context, &list);
  // With several printer-class devices attached the first that identifies
  // wins; otherwise the failure that got furthest (-3 over -2 over -1).
  int32_t result = DIRUVOV_NOT_READY;
  for (ssize_t i = 0; i < count && m_handle == nullptr; ++i) {
    const std::optional<Interface> where = FindPrinterInterface(list[i]);
    if (!where) continue;
    result = std::min(result, TryDevice(list[i], *where));
  }
  if (list != nullptr) libusb_free_device_list(list, 1);
  if (m_handle == nullptr) {
    Close();
    return result;
  }
  return DIRUVOV_OK;
}

int32_t PrinterLink::TryDevice(libusb_device* device, const Interface& where) {
  libusb_device_handle* handle = nullptr;
  if (libusb_open(device, &handle) != 0)  // no access, gone, or no usbfs node
    return DIRUVOV_NOT_READY;
  // The kernel's printer driver (usblp) usually holds the interface; take it
  // over and give it back on release.
  libusb_set_auto_detach_kernel_driver(handle, 1);
  if (where.needsConfiguration && libusb_set_configuration(handle, where.configValue) != 0) {
    libusb_close(handle);
    return DIRUVOV_NOT_READY;
  }
  if (libusb_claim_interface(handle, where.number) != 0) {  // busy, or gone
    libusb_close(handle);
    return DIRUVOV_NOT_READY;
  }
  if (where.alternate != 0 && libusb_set_interface_alt_setting(handle, where.number, where.alternate) != 0) {
    libusb_release_interface(handle, where.number);
    libusb_close(handle);
    return DIRUVOV_NOT_READY;
  }

  // Zero-filled, one byte more than asked for: the text is always ended.
  std::vector<uint8_t> answer(kDeviceIdBufferSize + 1, 0);
  const int received = libusb_control_transfer(
      handle, LIBUSB_ENDPOINT_IN | LIBUSB_REQUEST_TYPE_CLASS | LIBUSB_RECIPIENT_INTERFACE, kGetDeviceId,
      static_cast<uint16_t>(where.configIndex), static_cast<uint16_t>((where.number << 8) | where.alternate),
      answer.data(), kDeviceIdBufferSize, DIRUVOV_CONTROL_TIMEOUT_MS);
  int32_t result = DIRUVOV_OK;
  if (received < 0) {
    result = received == LIBUSB_ERROR_NO_DEVICE ? DIRUVOV_NOT_READY : DIRUVOV_NO_DEVICE_ID;
  } else {
    const std::optional<std::string> text =
        ExtractDeviceIdText(answer.data(), static_cast<std::size_t>(std::min(received, kDeviceIdBufferSize)));
    if (!text)
      result = DIRUVOV_NO_DEVICE_ID;
    else if (!IsSupportedPrinter(ParseDeviceId(*text)))
      result = DIRUVOV_WRONG_DEVICE;
  }
  if (result != DIRUVOV_OK) {
    libusb_release_interface(handle, where.number);
    libusb_close(handle);
    return result;
  }
  m_handle = handle;
  m_interface = where;
  return DIRUVOV_OK;
}

int32_t PrinterLink::Send(const uint8_t* data, int32_t length) {
  if (m_handle == nullptr) return DIRUVOV_NOT_OPEN;
  if (length < 0 || (data == nullptr && length > 0)) return DIRUVOV_BAD_ARGUMENT;
  if (length == 0) return 0;
  int written = 0;
  // libusb takes a non-const buffer for both directions; an OUT transfer
  // only reads it.
  const int r = libusb_bulk_transfer(m_handle, m_interface.endpointOut, const_cast<uint8_t*>(data), length, &written,
                                     DIRUVOV_WRITE_TIMEOUT_MS);
  if (r == 0 && written == length) return written;
  return TransferFailure(r == 0 ? LIBUSB_ERROR_IO : r);
}

int32_t PrinterLink::Receive(uint8_t* buffer, int32_t maxLength) {
  if (m_handle == nullptr) return DIRUVOV_NOT_OPEN;
  if (maxLength < 0 || (buffer == nullptr && maxLength > 0)) return DIRUVOV_BAD_ARGUMENT;
  if (maxLength == 0) return 0;
  // A bulk-in read must ask for whole packets, or a full last packet would
  // overflow it; read into a rounded-up buffer and hand over what fits.
  const int packet = m_interface.inPacketSize;
  const int64_t rounded = (int64_t{maxLength} + packet - 1) / packet * packet;
  std::vector<uint8_t> packets(static_cast<std::size_t>(rounded));
  int received = 0;
  const int r = libusb_bulk_transfer(m_handle, m_interface.endpointIn, packets.data(), static_cast<int>(rounded),
                                     &received, DIRUVOV_READ_TIMEOUT_MS);
  if (r != 0 && r != LIBUSB_ERROR_TIMEOUT) return TransferFailure(r);
  const int copied = std::clamp(received, 0, static_cast<int>(maxLength));
  if (copied > 0) std::memcpy(buffer, packets.data(), static_cast<std::size_t>(copied));
  return copied;
}

int32_t PrinterLink::TransferFailure(int libusbError) {
  if (libusbError == LIBUSB_ERROR_NO_DEVICE) {  // unplugged: nothing left to keep
    Close();
    return DIRUVOV_NOT_READY;
  }
  if (libusbError == LIBUSB_ERROR_PIPE) {
    // A stalled endpoint stays stalled until cleared; the next open would
    // inherit it otherwise. Both ends are cleared: which one stalled is
    // not worth tracking.
    libusb_clear_halt(m_handle, m_interface.endpointOut);
    libusb_clear_halt(m_handle, m_interface.endpointIn);
  }
  return DIRUVOV_TRANSFER_FAILED;
}

void PrinterLink::ReleaseHandle() {
  if (m_handle == nullptr) return;
  libusb_release_interface(m_handle, m_interface.number);  // re-attaches the kernel driver
  libusb_close(m_handle);
  m_handle = nullptr;
}

void PrinterLink::Close() {
  ReleaseHandle();
  if (m_context != nullptr) {
    libusb_exit(m_context);
    m_context = nullptr;
  }
  m_interface = Interface{};
}

}  // namespace diruvov
