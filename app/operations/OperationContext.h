#pragma once
// Everything a printer operation works with: the link, the catalogue, the
// interface settings, and the pages whose controls it reads and refreshes.
class CInterface;
class CItemManager;
class LinkDispatcher;
class QLabel;

namespace dz {

class ExtraSettingPage;
class MaintenancePage;
class ParameterPage;

struct OperationContext {
  LinkDispatcher& link;
  CItemManager& items;
  CInterface& iface;
  ParameterPage& parameterPage;
  MaintenancePage& maintenancePage;
  ExtraSettingPage& extraPage;
  QLabel& lblStatus;
};

}  // namespace dz
#include "LinkIds.h"
