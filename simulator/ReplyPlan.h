// How the simulated printer misbehaves, and how a reply is cut into the
// pieces a transport sends.
#pragma once

#include "Bytes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dzsim {

// How the printer misbehaves. The model itself honours the content modes
// (Silence, Garbage, Short, Huge); the timing and connection modes (Split,
// DropConnection, Delay, NeverRead, Dribble) are honoured by the transports
// through PlanReply() below.
enum class Misbehaviour {
  Normal,
  Silence,         // no reply at all (writes are still applied)
  Garbage,         // unrelated bytes of the reply's length instead of the reply
  Split,           // reply in two parts with a pause between them
  Short,           // reply cut to shortLength bytes
  Huge,            // reply padded with filler to hugeSize bytes
  DropConnection,  // first half of the reply, then the link goes away
  Delay,           // reply after delayMs
  NeverRead,       // the printer stops taking bytes from the link
  Dribble,         // one byte every dribbleIntervalMs
};

struct Behaviour {
  Misbehaviour mode = Misbehaviour::Normal;
  std::size_t shortLength = 5;
  std::size_t hugeSize = std::size_t(1) << 20;
  int splitPauseMs = 50;
  int delayMs = 300;
  int dribbleIntervalMs = 5;
  std::uint32_t garbageSeed = 0x2545F491u;
};

// Name of a mode as used on the command line and in logs ("normal", "silence",
// "garbage", "split", "short", "huge", "drop", "delay", "never-read", "dribble").
const char* MisbehaviourName(Misbehaviour mode);
bool MisbehaviourFromName(const std::string& name, Misbehaviour& mode);

// One piece of a reply as a transport sends it: wait pauseBeforeMs, send the
// bytes, and give up the link afterwards when dropAfter is set.
struct ReplyChunk {
  Bytes bytes;
  int pauseBeforeMs = 0;
  bool dropAfter = false;
};

// Cuts a reply into the pieces the timing modes ask for. Normal and the
// content modes give one chunk without a pause.
std::vector<ReplyChunk> PlanReply(const Bytes& reply, const Behaviour& behaviour);

}  // namespace dzsim
