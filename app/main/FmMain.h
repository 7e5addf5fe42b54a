#pragma once
// The program's main window. It owns the item catalogue, the interface
// settings and the link dispatcher for its lifetime, holds the top strip
// (GET STATUS, status text, the "Interface" frame), the tab control with the
// pages "Parameter Setting", "Maintenance Mode" and "Extra Setting", and the
// menu. It lays the controls out and wires their handlers; the pages, the
// page bindings, the choice lists and the handlers live in their own files.
//
// Every control is reachable by its name: the top-strip controls, the tab
// control and the menu are public members here, the page controls public
// members of the pages (ParameterPage, MaintenancePage, ExtraSettingPage),
// and every control carries its name as object name.
#include <QMainWindow>
#include <memory>

#include "CInterface.h"
#include "CItemManager.h"
#include "ILinkHost.h"

class LinkDispatcher;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;

namespace dz {

class ParameterPage;
class MaintenancePage;
class ExtraSettingPage;
class TabPage;

class FmMain : public QMainWindow, public ILinkHost {
  Q_OBJECT

 public:
  explicit FmMain(QWidget* parent = nullptr);
  ~FmMain() override;

  // ---- owned for the window's lifetime ----
  CItemManager m_objItemManager;
  CInterface m_objInterface;
  LinkDispatcher& Link() { return *m_objLink; }

  // ---- top strip ----
  QPushButton* btnGetStatus = nullptr;
  QLabel* lblStatus = nullptr;
  QGroupBox* FrInterface = nullptr;
  QComboBox* cmbInterface = nullptr;
  QPushButton* btnSetup = nullptr;

  // ---- tab control and its pages (0, 1, 2) ----
  QTabWidget* SSTab1 = nullptr;
  ParameterPage* pageParameter = nullptr;
  MaintenancePage* pageMaintenance = nullptr;
  ExtraSettingPage* pageExtraSetting = nullptr;

  // ---- menu ----
  QMenu* mmFile = nullptr;
  QAction* smExit = nullptr;
  QMenu* mmAbout = nullptr;
  QAction* smAbout = nullptr;

  // Fills every list of the three pages; false when one is missing.
  bool InitializeComboBoxItems();
  // The page bindings on this window's pages.
  bool RefreshParameterSettingItem(CItemManager& p_objItems, bool p_bDefaultValue);
  bool UpdateParameterSettingItem(CItemManager& p_objItems);
  bool RefreshLanSettingItem(CItemManager& p_objItems, bool p_bDefaultValue);
  // False, with nothing changed, when the host name holds a character without
  // a single-byte code (that character goes to p_pBadCharacter).
  bool UpdateLanSettingItem(CItemManager& p_objItems, QChar* p_pBadCharacter = nullptr);

  // The 18 command buttons in the order the lock sets them.
  QList<QPushButton*> CommandButtons() const;

  // ---- ILinkHost ----
  void ShowStatusText(const QString& p_sText) override;
  void ShowHeadCheckText(const QString& p_sText) override;
  int ShowMessageBox(const QString& p_sText, int p_iStyle, const QString& p_sTitle) override;
  void Beep() override;
  void SetCommandButtonsEnabled(bool p_bEnabled) override;

 protected:
  // Closing ends the program: the links close and any wait in progress
  // returns at once; nothing is saved or sent.
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateTopStrip(QWidget* client);
  void CreateTabControl(QWidget* client);
  void CreateMenu();
  void SetFocusOrder();
  // The three pages in tab order.
  QList<TabPage*> Pages() const;
  void WireHandlers();
  // Connects the printer operations to GET STATUS, READ, SET, the SEND
  // buttons, LOAD and SAVE.
  void WireOperations();
  void StartUp();
  void ShowAbout();

  std::unique_ptr<LinkDispatcher> m_objLink;
};

}  // namespace dz
