// One open USB printer-class device: find, claim and identify it, then move
// bytes over its bulk endpoints. Not thread-safe; Diruvov.cpp serialises.
#ifndef DIRUVOV_PRINTERLINK_H
#define DIRUVOV_PRINTERLINK_H

#include <cstdint>

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;

namespace diruvov {

class PrinterLink {
 public:
  PrinterLink() = default;
  ~PrinterLink();
  PrinterLink(const PrinterLink&) = delete;
  PrinterLink& operator=(const PrinterLink&) = delete;

  int32_t Open();
  int32_t Send(const uint8_t* data, int32_t length);
  int32_t Receive(uint8_t* buffer, int32_t maxLength);
  void Close();

  // Where the printer class lives on one device.
  struct Interface {
    int configIndex = 0;  // wValue of GET_DEVICE_ID
    int configValue = 0;
    bool needsConfiguration = false;  // device is unconfigured
    int number = 0;
    int alternate = 0;
    unsigned char endpointOut = 0;
    unsigned char endpointIn = 0;
    int inPacketSize = 64;
  };

 private:
  int32_t TryDevice(libusb_device* device, const Interface& where);
  void ReleaseHandle();
  int32_t TransferFailure(int libusbError);

  libusb_context* m_context = nullptr;
  libusb_device_handle* m_handle = nullptr;
  Interface m_interface;
};

}  // namespace diruvov

#endif
