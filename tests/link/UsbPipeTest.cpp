// The USB pipe driven by its caller, through the simulator build of the USB
// transfer library: each step is made before the call returns, the caller's
// work runs between the library calls, and a failed step is told before the
// device is closed, once per step.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <string>
#include <vector>

#include "ByteString.h"
#include "SimUsb.h"
#include "UsbPipe.h"

using dz::ByteTransport;
using dz::TransportError;
using dz::UsbDrive;
using dz::UsbPipe;
using dz::test::B;

namespace {

class UsbPipeCallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim.Load()) << sim.library.errorString().toStdString();
    sim.Reset();
    pipe.SetBetweenSteps([this] { between.push_back(sim.Calls()); });
    QObject::connect(&pipe, &ByteTransport::errorOccurred, [this](TransportError p_eError, const QString& p_sText) {
      failures.push_back({p_eError, p_sText, sim.Calls()});
    });
  }

  struct Failure {
    TransportError error;
    QString text;
    std::string callsSoFar;
  };
  SimUsb sim;
  UsbPipe pipe{QString::fromUtf8(kDiruvovSimLibraryPath), nullptr, UsbDrive::Caller};
  std::vector<std::string> between;
  std::vector<Failure> failures;
};

}  // namespace

TEST_F(UsbPipeCallerTest, EachStepIsMadeBeforeItReturnsWithTheCallersWorkBetweenTheCalls) {
  QString failure;
  ASSERT_TRUE(pipe.BindLibrary(failure)) << failure.toStdString();
  EXPECT_GE(pipe.IdentifyDevice(), 0);
  EXPECT_EQ(sim.Calls(), "open");  // the identity check leaves the device as it is

  QSignalSpy written(&pipe, &ByteTransport::bytesWritten);
  ASSERT_TRUE(pipe.WriteOnce(B("{WS|}")));
  EXPECT_EQ(sim.Calls(), "open open send close");
  EXPECT_EQ(between, (std::vector<std::string>{"open open", "open open send close"}));
  ASSERT_EQ(written.size(), 1);
  EXPECT_EQ(written.front().at(0).toLongLong(), 5);

  // A pass never lets the library write past the buffer, whatever is asked.
  QSignalSpy received(&pipe, &ByteTransport::bytesReceived);
  Bytes buffer(5, 0);
  EXPECT_EQ(pipe.ReadPass(buffer, 100), 5);
  EXPECT_EQ(buffer[0], 0x01);
  ASSERT_EQ(received.size(), 1);
  EXPECT_EQ(received.front().at(0).toByteArray().size(), 5);
  EXPECT_EQ(sim.Calls(), "open open send close open rcv close");
  EXPECT_EQ(between.size(), 4u);
  EXPECT_TRUE(failures.empty());
}

TEST_F(UsbPipeCallerTest, AFailedStepIsToldBeforeTheCloseAndEveryFailedPassOnce) {
  sim.SetFailSend(1);
  EXPECT_FALSE(pipe.WriteOnce(B("{WS|}")));
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].error, TransportError::WriteFailed);
  EXPECT_EQ(failures[0].text, QStringLiteral("Device Time Out !!"));
  EXPECT_EQ(failures[0].callsSoFar, "open send");
  EXPECT_EQ(sim.Calls(), "open send close");

  sim.Reset();
  sim.SetOpenResult(-1);
  failures.clear();
  Bytes buffer(13, 0);
  EXPECT_EQ(pipe.ReadPass(buffer, 13), 0);
  EXPECT_EQ(pipe.ReadPass(buffer, 13), 0);
  ASSERT_EQ(failures.size(), 2u);
  for (const Failure& f : failures) {
    EXPECT_EQ(f.error, TransportError::OpenFailed);
    EXPECT_EQ(f.text, QStringLiteral("'USB' Open Error !!"));
  }
  EXPECT_EQ(failures[0].callsSoFar, "open");
  EXPECT_EQ(sim.Calls(), "open close open close");
  EXPECT_FALSE(pipe.WriteOnce(B("{WS|}")));
  EXPECT_EQ(failures.back().error, TransportError::OpenFailed);
}

TEST_F(UsbPipeCallerTest, OpenChecksTheIdentityAndWriteMakesOnlyTheWrite) {
  sim.SetOpenResult(-3);
  QSignalSpy opened(&pipe, &ByteTransport::opened);
  pipe.Open();
  EXPECT_FALSE(pipe.IsOpen());
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].text, QStringLiteral("USB DeviceID mismatch error"));
  EXPECT_FALSE(pipe.Write(B("{WS|}"), 13));  // not open: nothing goes out
  EXPECT_EQ(sim.Calls(), "open close");

  sim.Reset();
  pipe.Open();
  ASSERT_TRUE(pipe.IsOpen());
  EXPECT_EQ(opened.size(), 1);
  EXPECT_TRUE(pipe.Write(B("{WS|}"), 13));
  EXPECT_EQ(sim.Calls(), "open open send close");  // the caller makes the read passes

  UsbPipe missing(QStringLiteral("/nonexistent/libDiruvov.so"), nullptr, UsbDrive::Caller);
  QString failure;
  EXPECT_FALSE(missing.BindLibrary(failure));
  EXPECT_TRUE(failure.contains(QStringLiteral("Diruvov")));
  missing.CloseDevice();  // nothing bound: nothing to close
}
