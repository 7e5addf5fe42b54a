#pragma once
// Why a serial port could not be opened, and what the technician is told:
// a port held by another program, a device this user may not open, or a
// COM entry without a device behind it.
#include <QSerialPort>
#include <QString>

enum class SerialOpenError { kNone, kHeldByOther, kPermissionDenied, kNoDevice, kOther };

// Qt reports a held port and a refused one alike (PermissionError); the
// device's access rights tell them apart.
SerialOpenError ClassifySerialOpenError(QSerialPort::SerialPortError p_eError, const QString& p_sDevice);

// "Already Opened Port by other Application"
QString HeldByOtherText();
// Names the device and the group whose members may open it.
QString PermissionDeniedText(const QString& p_sDevice);
// No serial port at COMn.
QString NoDeviceText(int p_iComPortNumber);

// What the technician is told when COMn (the device) did not open: one of
// the texts above, or nothing for a failure that shows no message (settings
// the device refuses).
QString SerialOpenFailureText(QSerialPort::SerialPortError p_eError, const QString& p_sDevice, int p_iComPortNumber);
