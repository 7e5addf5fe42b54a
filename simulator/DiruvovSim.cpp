// Simulator build of the USB transfer library: the five transfer entry points
// answered by an in-process PrinterModel, and control entry points for tests.
#include "DiruvovSim.h"

#include "PrinterModel.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
using dzsim::Bytes;
using dzsim::Misbehaviour;

struct PendingChunk {
  Bytes bytes;
  Clock::time_point readyAt;
  bool dropAfter = false;
};

constexpr std::size_t kMaxCallLog = 1 << 20;

struct Simulator {
  std::mutex mutex;
  dzsim::PrinterModel model;
  dzsim::CommandFramer framer;
  std::deque<PendingChunk> pending;
  bool open = false;
  int32_t openResult = 0;
  bool failSend = false;
  bool failAll = false;
  int32_t opens = 0, sends = 0, rcvs = 0, closes = 0;
  std::string callLog;

  void Note(const char* call) {
    if (callLog.size() >= kMaxCallLog) return;
    if (!callLog.empty()) callLog += ' ';
    callLog += call;
  }

  void Reset() {
    model.ResetToFactory();
    framer.Clear();
    pending.clear();
    open = false;
    openResult = 0;
    failSend = false;
    failAll = false;
    opens = sends = rcvs = closes = 0;
    callLog.clear();
  }

  // What the USB side of the printer sends back for one command.
  void Answer(const Bytes& command) {
    Bytes reply = model.Process(command);
    if (reply.empty()) return;
    if (reply.front() == '{') {
      // A record goes out behind two bytes, the first being 2.
      reply.insert(reply.begin(), {0x02, 0x00});
    }
    reply = model.Misshape(std::move(reply));
    Clock::time_point at = Clock::now();
    if (!pending.empty()) at = std::max(at, pending.back().readyAt);
    for (dzsim::ReplyChunk& chunk : dzsim::PlanReply(reply, model.GetBehaviour())) {
      at += std::chrono::milliseconds(chunk.pauseBeforeMs);
      pending.push_back({std::move(chunk.bytes), at, chunk.dropAfter});
    }
  }
};

Simulator& Sim() {
  static Simulator sim;
  return sim;
}

int32_t CopyOut(const std::string& text, char* buffer, int32_t max) {
  if (buffer && max > 0) {
    const auto n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(max - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }
  return static_cast<int32_t>(text.size());
}

}  // namespace

extern "C" {

int32_t Dll_openUSB(void) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  ++s.opens;
  s.Note("open");
  if (s.failAll) return -1;
  if (s.openResult < 0) return s.openResult;
  s.open = true;
  return s.openResult;
}

int32_t Dll_sendUSB(const uint8_t* data, int32_t length) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  ++s.sends;
  s.Note("send");
  if (s.failAll || s.failSend || !s.open || !data || length < 0 || s.model.Mode() == Misbehaviour::NeverRead) return -1;
  for (const Bytes& command : s.framer.Push(data, static_cast<std::size_t>(length))) s.Answer(command);
  return length;
}

int32_t Dll_rcvUSB(uint8_t* buffer, int32_t maxLength) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  ++s.rcvs;
  s.Note("rcv");
  if (s.failAll || !s.open) return -1;
  if (!buffer || maxLength <= 0 || s.pending.empty()) return 0;
  PendingChunk& front = s.pending.front();
  if (Clock::now() < front.readyAt) return 0;
  const auto n = std::min<std::size_t>(front.bytes.size(), static_cast<std::size_t>(maxLength));
  std::memcpy(buffer, front.bytes.data(), n);
  if (n < front.bytes.size()) {
    front.bytes.erase(front.bytes.begin(), front.bytes.begin() + static_cast<std::ptrdiff_t>(n));
  } else {
    const bool drop = front.dropAfter;
    s.pending.pop_front();
    if (drop) s.pending.clear();
  }
  return static_cast<int32_t>(n);
}

int32_t Dll_closeUSB(void) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  ++s.closes;
  s.Note("close");
  s.open = false;
  return s.failAll ? -1 : 0;
}

int32_t Dll_wbUSB(void) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.Note("wb");
  return s.failAll ? -1 : 0;
}

void DiruvovSim_Reset(void) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.Reset();
}

void DiruvovSim_SetOpenResult(int32_t result) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.openResult = result;
}

void DiruvovSim_SetFailSend(int32_t fail) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.failSend = fail != 0;
}

void DiruvovSim_SetFailAll(int32_t fail) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.failAll = fail != 0;
}

int32_t DiruvovSim_SetStatusCode(const char* code) {
  if (!code) return 0;
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.model.SetStatusCode(code) ? 1 : 0;
}

int32_t DiruvovSim_SetMode(int32_t mode, int32_t param) {
  if (mode < DIRUVOV_SIM_NORMAL || mode > DIRUVOV_SIM_DRIBBLE) return 0;
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  dzsim::Behaviour b;
  b.mode = static_cast<Misbehaviour>(mode);
  if (param >= 0) {
    switch (b.mode) {
      case Misbehaviour::Split:
        b.splitPauseMs = param;
        break;
      case Misbehaviour::Short:
        b.shortLength = static_cast<std::size_t>(param);
        break;
      case Misbehaviour::Huge:
        if (param > 0) b.hugeSize = static_cast<std::size_t>(param);
        break;
      case Misbehaviour::Delay:
        b.delayMs = param;
        break;
      case Misbehaviour::Dribble:
        b.dribbleIntervalMs = param;
        break;
      default:
        break;
    }
  }
  s.model.SetBehaviour(b);
  return 1;
}

int32_t DiruvovSim_SetField(const char* name, const char* value) {
  if (!name || !value) return 0;
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.model.SetField(name, value) ? 1 : 0;
}

int32_t DiruvovSim_GetField(const char* name, char* buffer, int32_t max) {
  if (!name || dzsim::PrinterModel::FieldWidth(name) < 0) return -1;
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  return CopyOut(s.model.Field(name), buffer, max);
}

int32_t DiruvovSim_CommandCount(void) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  return static_cast<int32_t>(s.model.CommandLog().size());
}

int32_t DiruvovSim_Command(int32_t i, uint8_t* buffer, int32_t max) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  const auto& log = s.model.CommandLog();
  if (i < 0 || static_cast<std::size_t>(i) >= log.size()) return -1;
  const Bytes& command = log[static_cast<std::size_t>(i)];
  if (buffer && max > 0)
    std::memcpy(buffer, command.data(), std::min<std::size_t>(command.size(), static_cast<std::size_t>(max)));
  return static_cast<int32_t>(command.size());
}

int32_t DiruvovSim_PendingBytes(void) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  std::size_t total = 0;
  for (const PendingChunk& chunk : s.pending) total += chunk.bytes.size();
  return static_cast<int32_t>(total);
}

int32_t DiruvovSim_OpenCount(void) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.opens;
}

int32_t DiruvovSim_SendCount(void) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.sends;
}

int32_t DiruvovSim_RcvCount(void) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.rcvs;
}

int32_t DiruvovSim_CloseCount(void) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.closes;
}

int32_t DiruvovSim_CallLog(char* buffer, int32_t max) {
  Simulator& s = Sim();
  std::lock_guard<std::mutex> lock(s.mutex);
  return CopyOut(s.callLog, buffer, max);
}

}  // extern "C"
