#include "operations/PrinterOperations.h"
#include "main/FmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>

#include "LinkDispatcher.h"
#include "bindings/LanBinding.h"
#include "bindings/ParameterBinding.h"
#include "common/AccessibleNames.h"
#include "common/AppIcon.h"
#include "common/MessageBox.h"
#include "common/PageBuilder.h"
#include "common/Twips.h"
#include "dialogs/FmAbout.h"
#include "dialogs/RunModal.h"
#include "main/ControlHandlers.h"
#include "main/TabControl.h"
#include "common/ChoiceLists.h"
#include "pages/ExtraSettingPage.h"
#include "pages/MaintenancePage.h"
#include "pages/ParameterPage.h"
#include "widgets/UCSpinEdit.h"

namespace dz {
namespace {

constexpr int kClientWidth = 11610;
constexpr int kClientHeight = 7440;
constexpr TwipsRect kTabControl = {120, 840, 11415, 6495};
const char* const kPageCaptions[] = {"Parameter Setting", "Maintenance Mode", "Extra Setting"};

}  // namespace

FmMain::FmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("FmMain"));
  setWindowTitle(kAppTitle);
  setWindowIcon(AppIcon());
  setFont(ArialFont(kWindowFontPoints));

  // The client area has a fixed size; the window does not resize.
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("Client"));
  client->setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));
  setCentralWidget(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  CreateTopStrip(client);
  CreateTabControl(client);
  CreateMenu();
  SetFocusOrder();
  StartUp();
  WireOperations();
}

FmMain::~FmMain() = default;

void FmMain::CreateTopStrip(QWidget* client) {
  btnGetStatus = new QPushButton(QStringLiteral("GET STATUS"), client);
  btnGetStatus->setObjectName(QStringLiteral("btnGetStatus"));
  Place(btnGetStatus, {360, 120, 1335, 375});

  lblStatus = MakeLabel(client, QStringLiteral("lblStatus"), QString(), {1920, 120, 4995, 375},
                        Qt::AlignRight | Qt::AlignVCenter);
  lblStatus->setFont(ArialFont(kCaptionPoints));

  FrInterface = MakeFrame(client, QStringLiteral("FrInterface"), QStringLiteral("Interface"), {8040, 0, 3375, 735});
  FrInterface->setFont(ArialFont(kWindowFontPoints));  // only the pages' frame captions are larger
  cmbInterface = new ListBox(FrInterface);
  cmbInterface->setObjectName(QStringLiteral("cmbInterface"));
  Place(cmbInterface, {240, 240, 1695, 345});
  SetControlName(cmbInterface, FrInterface->title());  // the frame's caption is the list's only label
  btnSetup = new QPushButton(QStringLiteral("Setup"), FrInterface);
  btnSetup->setObjectName(QStringLiteral("btnSetup"));
  btnSetup->setFont(ArialFont(kWindowFontPoints));
  Place(btnSetup, {2040, 240, 1095, 345});
}

void FmMain::CreateTabControl(QWidget* client) {
  SSTab1 = new TabControl(client);
  SSTab1->setObjectName(QStringLiteral("SSTab1"));
  Place(SSTab1, kTabControl);
  SSTab1->tabBar()->setFont(ArialFont(kCaptionPoints));

  const QSize size = SSTab1->size();
  pageParameter = new ParameterPage(size);
  pageParameter->setObjectName(QStringLiteral("PageParameterSetting"));
  pageMaintenance = new MaintenancePage(size);
  pageMaintenance->setObjectName(QStringLiteral("PageMaintenanceMode"));
  pageExtraSetting = new ExtraSettingPage(size);
  pageExtraSetting->setObjectName(QStringLiteral("PageExtraSetting"));
  SSTab1->addTab(pageParameter, QString::fromLatin1(kPageCaptions[0]));
  SSTab1->addTab(pageMaintenance, QString::fromLatin1(kPageCaptions[1]));
  SSTab1->addTab(pageExtraSetting, QString::fromLatin1(kPageCaptions[2]));
}

void FmMain::CreateMenu() {
  mmFile = menuBar()->addMenu(QStringLiteral("File(&F)"));
  mmFile->setObjectName(QStringLiteral("mmFile"));
  smExit = mmFile->addAction(QStringLiteral("Exit(&E)"));
  smExit->setObjectName(QStringLiteral("smExit"));
  mmAbout = menuBar()->addMenu(QStringLiteral("About(&A)"));
  mmAbout->setObjectName(QStringLiteral("mmAbout"));
  smAbout = mmAbout->addAction(QStringLiteral("About(&A)"));
  smAbout->setObjectName(QStringLiteral("smAbout"));

  connect(smExit, &QAction::triggered, this, &QWidget::close);
  connect(smAbout, &QAction::triggered, this, &FmMain::ShowAbout);
}

void FmMain::SetFocusOrder() {
  QList<QWidget*> order = {btnGetStatus, cmbInterface, btnSetup, SSTab1};
  for (const TabPage* page : Pages()) order << page->Controls().FocusOrder();
  for (const TabPage* page : Pages()) order << page->Controls().FocusAfterWindow();
  // A spin edit takes the focus through its text box, so the order is set
  // on the text box.
  for (QWidget*& widget : order)
    if (widget->focusProxy()) widget = widget->focusProxy();
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void FmMain::WireHandlers() {
  connect(cmbInterface, &QComboBox::currentIndexChanged, this, [this](int index) { OnInterfaceChanged(*this, index); });
  connect(pageParameter->cmbCode, &QComboBox::currentIndexChanged, this,
          [this](int index) { OnControlCodeChanged(*pageParameter, index); });
  connect(pageMaintenance->cmbRamClear, &QComboBox::currentIndexChanged, this,
          [this](int index) { OnRamClearModeChanged(*pageMaintenance, index); });
  connect(btnSetup, &QPushButton::clicked, this, [this] { OnSetupClicked(*this); });
}

void FmMain::WireOperations() {
  // Every command button but "Setup" runs a printer operation.
  const OperationContext context{*m_objLink,       m_objItemManager,  m_objInterface, *pageParameter,
                                 *pageMaintenance, *pageExtraSetting, *lblStatus};
  new PrinterOperations(context, *btnGetStatus, this);
}

void FmMain::StartUp() {
  // The catalogue and the interface settings exist with their defaults; the
  // link dispatcher works on them and reports to this window.
  m_objLink = std::make_unique<LinkDispatcher>(m_objItemManager, m_objInterface, *this);
  m_objLink->State().m_bHeadCheckMode = false;
  m_objLink->State().m_bLineOffline = 0;
  WireHandlers();

  // Selecting "COM" makes the serial link active; nothing is opened.
  FillChoiceLists(*FrInterface, {InterfaceChoiceList()});

  for (UCSpinEdit* box : {pageParameter->SeCode1, pageParameter->SeCode2, pageParameter->SeCode3})
    box->EditWidth(TwipsRectOf(box).width());
  for (UCSpinEdit* box : pageExtraSetting->AddressBoxes()) box->EditWidth(TwipsRectOf(box).width());
  for (const TabPage* page : Pages()) page->Controls().SetUpSpinEdits();

  if (!InitializeComboBoxItems()) return;
  SSTab1->setCurrentIndex(0);
  if (RefreshParameterSettingItem(m_objItemManager, false)) RefreshLanSettingItem(m_objItemManager, false);
}

bool FmMain::InitializeComboBoxItems() {
  bool filled = true;
  for (const TabPage* page : Pages()) filled = page->Controls().FillLists() && filled;
  return filled;
}

QList<TabPage*> FmMain::Pages() const { return {pageParameter, pageMaintenance, pageExtraSetting}; }

bool FmMain::RefreshParameterSettingItem(CItemManager& p_objItems, bool p_bDefaultValue) {
  return dz::RefreshParameterSettingItem(*pageParameter, p_objItems, p_bDefaultValue);
}

bool FmMain::UpdateParameterSettingItem(CItemManager& p_objItems) {
  return dz::UpdateParameterSettingItem(*pageParameter, p_objItems);
}

bool FmMain::RefreshLanSettingItem(CItemManager& p_objItems, bool p_bDefaultValue) {
  return dz::RefreshLanSettingItem(*pageExtraSetting, p_objItems, p_bDefaultValue);
}

bool FmMain::UpdateLanSettingItem(CItemManager& p_objItems, QChar* p_pBadCharacter) {
  return dz::UpdateLanSettingItem(*pageExtraSetting, p_objItems, p_pBadCharacter);
}

QList<QPushButton*> FmMain::CommandButtons() const {
  const ParameterPage& p = *pageParameter;
  const MaintenancePage& m = *pageMaintenance;
  const ExtraSettingPage& e = *pageExtraSetting;
  return {btnGetStatus,   btnSetup,       p.btnLoad,    p.btnSave,    p.btnRead,     p.btnSet,
          m.btnDiagPrint, m.btnTestPrint, m.btnReflect, m.btnTrans,   m.btnPaperEnd, m.btnThresholdCalib,
          m.btnRamClear,  m.btnHeadCheck, e.btnLanLoad, e.btnLanSave, e.btnLanRead,  e.btnLanSet};
}

void FmMain::ShowStatusText(const QString& p_sText) { lblStatus->setText(p_sText); }

void FmMain::ShowHeadCheckText(const QString& p_sText) { pageMaintenance->lblHeadCheck->setText(p_sText); }

int FmMain::ShowMessageBox(const QString& p_sText, int p_iStyle, const QString& p_sTitle) {
  return ShowMessage(p_sText, p_iStyle, p_sTitle);
}

void FmMain::Beep() { QApplication::beep(); }

void FmMain::SetCommandButtonsEnabled(bool p_bEnabled) {
  for (QPushButton* button : CommandButtons()) button->setEnabled(p_bEnabled);
}

void FmMain::closeEvent(QCloseEvent* event) {
  m_objLink->Shutdown();
  QMainWindow::closeEvent(event);
}

void FmMain::ShowAbout() {
  FmAbout about(this);
  RunModal(about);
}

}  // namespace dz
