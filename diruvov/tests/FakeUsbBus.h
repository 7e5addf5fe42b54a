// Emulated USB printers for the Diruvov tests: a umockdev testbed whose usbfs
// device nodes are answered in-process. The test binary must run under
// umockdev-wrapper so that libusb's file and udev access reaches the testbed.
#ifndef DIRUVOV_FAKEUSBBUS_H
#define DIRUVOV_FAKEUSBBUS_H

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

// How one emulated device behaves.
struct FakeDevice {
  uint8_t interfaceClass = 7;     // printer
  uint8_t interfaceProtocol = 2;  // bidirectional
  uint8_t interfaceNumber = 0;
  int claimErrno = 0;                        // e.g. EBUSY: someone else holds the interface
  bool stallDeviceId = false;                // GET_DEVICE_ID answered with a stall
  bool stallWrites = false;                  // bulk-out endpoint halted
  std::vector<uint8_t> deviceId;             // the whole GET_DEVICE_ID answer, length bytes included
  std::deque<std::vector<uint8_t>> replies;  // one per bulk-in read; none left = silent
};

// A device ID answer: the text behind a two-byte length counting itself.
std::vector<uint8_t> DeviceIdAnswer(const std::string& text, bool littleEndian = false);

class FakeUsbBus {
 public:
  FakeUsbBus();
  ~FakeUsbBus();
  FakeUsbBus(const FakeUsbBus&) = delete;
  FakeUsbBus& operator=(const FakeUsbBus&) = delete;

  // Plugs a device in; returns its number on bus 1.
  int Plug(const FakeDevice& device);
  // Pulls device `number` out: its node and sysfs entry go, and whatever an
  // open handle still does fails with ENODEV.
  void Unplug(int number);

  // Takes read and write permission on device `number`'s node away.
  void DenyAccess(int number);

  // Queues one more bulk-in answer on device `number`.
  void QueueReply(int number, std::vector<uint8_t> reply);
  // Everything written to the bulk-out endpoint of device `number`.
  std::vector<uint8_t> Written(int number) const;
  // Descriptors of this process open on device `number`'s node, and its
  // interfaces claimed and not released.
  int OpenFiles(int number) const;
  int ClaimedInterfaces(int number) const;
  // wValue and wIndex of the last GET_DEVICE_ID request, -1 before any.
  int LastDeviceIdValue(int number) const;
  int LastDeviceIdIndex(int number) const;

  struct State;

 private:
  std::unique_ptr<State> m_state;
};

#endif
