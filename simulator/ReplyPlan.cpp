#include "ReplyPlan.h"

#include <algorithm>

namespace dzsim {

const char* MisbehaviourName(Misbehaviour mode) {
  switch (mode) {
    case Misbehaviour::Normal:
      return "normal";
    case Misbehaviour::Silence:
      return "silence";
    case Misbehaviour::Garbage:
      return "garbage";
    case Misbehaviour::Split:
      return "split";
    case Misbehaviour::Short:
      return "short";
    case Misbehaviour::Huge:
      return "huge";
    case Misbehaviour::DropConnection:
      return "drop";
    case Misbehaviour::Delay:
      return "delay";
    case Misbehaviour::NeverRead:
      return "never-read";
    case Misbehaviour::Dribble:
      return "dribble";
  }
  return "normal";
}

bool MisbehaviourFromName(const std::string& name, Misbehaviour& mode) {
  for (int i = 0; i <= static_cast<int>(Misbehaviour::Dribble); ++i) {
    const auto m = static_cast<Misbehaviour>(i);
    if (name == MisbehaviourName(m)) {
      mode = m;
      return true;
    }
  }
  return false;
}

std::vector<ReplyChunk> PlanReply(const Bytes& reply, const Behaviour& behaviour) {
  std::vector<ReplyChunk> chunks;
  if (reply.empty()) return chunks;
  const std::size_t half = reply.size() / 2;
  switch (behaviour.mode) {
    case Misbehaviour::Split:
      if (half == 0) {
        chunks.push_back({reply, 0, false});
      } else {
        chunks.push_back({Bytes(reply.begin(), reply.begin() + half), 0, false});
        chunks.push_back({Bytes(reply.begin() + half, reply.end()), std::max(0, behaviour.splitPauseMs), false});
      }
      break;
    case Misbehaviour::DropConnection:
      chunks.push_back({Bytes(reply.begin(), reply.begin() + half), 0, true});
      break;
    case Misbehaviour::Delay:
      chunks.push_back({reply, std::max(0, behaviour.delayMs), false});
      break;
    case Misbehaviour::Dribble:
      for (std::size_t i = 0; i < reply.size(); ++i)
        chunks.push_back({Bytes{reply[i]}, i == 0 ? 0 : std::max(0, behaviour.dribbleIntervalMs), false});
      break;
    default:
      chunks.push_back({reply, 0, false});
      break;
  }
  return chunks;
}

}  // namespace dzsim
