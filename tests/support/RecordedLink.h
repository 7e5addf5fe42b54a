#pragma once
// A link dispatcher with its own catalogue and interface settings that
// reports to a recording host: what every link test starts from.
#include "CInterface.h"
#include "CItemManager.h"
#include "LinkDispatcher.h"
#include "RecordingHost.h"

namespace dz::test {

struct RecordedLink {
  CItemManager items;
  CInterface iface;
  RecordingHost host;
  LinkDispatcher link{items, iface, host};
};

}  // namespace dz::test
