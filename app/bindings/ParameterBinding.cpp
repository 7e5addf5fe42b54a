#include "bindings/ParameterBinding.h"

#include <QComboBox>
#include <QString>

#include "CItemManager.h"
#include "bindings/ListPosition.h"
#include "bindings/ValueVariant.h"
#include "pages/ParameterPage.h"
#include "widgets/UCSpinEdit.h"

namespace dz {
namespace {

using P = ParameterPage;
using M = CItemManager;

enum class Kind {
  List,          // the item value is the list position
  FontCodeList,  // as List; the position is stored as upper-case hexadecimal text
  Signed,        // direction item + magnitude item in one signed spin edit
  Threshold,     // the value as text
  Hex,           // hexadecimal spin edit: the value unchanged both ways
};

struct Binding {
  Kind kind;
  QComboBox* P::*list;
  UCSpinEdit* P::*spin;
  CItem M::*item;       // the item; the magnitude for a signed spin edit
  CItem M::*direction;  // signed spin edits only
};

Binding ListRow(QComboBox* P::*list, CItem M::*item) { return {Kind::List, list, nullptr, item, nullptr}; }
Binding FontCodeRow(QComboBox* P::*list, CItem M::*item) { return {Kind::FontCodeList, list, nullptr, item, nullptr}; }
Binding SignedRow(UCSpinEdit* P::*spin, CItem M::*direction, CItem M::*magnitude) {
  return {Kind::Signed, nullptr, spin, magnitude, direction};
}
Binding ThresholdRow(UCSpinEdit* P::*spin, CItem M::*item) { return {Kind::Threshold, nullptr, spin, item, nullptr}; }
Binding HexRow(UCSpinEdit* P::*spin, CItem M::*item) { return {Kind::Hex, nullptr, spin, item, nullptr}; }

// The bindings in the order both operations visit them.
const std::vector<Binding>& Bindings() {
  static const std::vector<Binding> table = {
      FontCodeRow(&P::cmbFontCode, &M::m_objFontCode),
      ListRow(&P::cmbZeroCode, &M::m_objZeroStyle),
      ListRow(&P::cmbSpeed, &M::m_objCommunicationSpeed),
      ListRow(&P::cmbDataLeg, &M::m_objDataLength),
      ListRow(&P::cmbStopBit, &M::m_objStopBit),
      ListRow(&P::cmbParity, &M::m_objParity),
      ListRow(&P::cmbControl, &M::m_objControl),
      ListRow(&P::cmbFowardWait, &M::m_objAutoForward),
      SignedRow(&P::SeFowardPosition, &M::m_objAutoForwardDirection, &M::m_objAutoForwardAdjustment),
      ListRow(&P::cmbCode, &M::m_objControlCode),
      HexRow(&P::SeCode1, &M::m_objControlCode1st),
      HexRow(&P::SeCode2, &M::m_objControlCode2nd),
      HexRow(&P::SeCode3, &M::m_objControlCode3rd),
      ListRow(&P::cmbPeelOffStatus, &M::m_objStripStatus),
      ListRow(&P::cmbFeedKey, &M::m_objFeedKeyFunction),
      ListRow(&P::cmbKanji, &M::m_objKanjiCode),
      HexRow(&P::SeEuroCode, &M::m_objEuroCode),
      ListRow(&P::cmbAutoHdChk, &M::m_objHeadCheck),
      ListRow(&P::cmbAckBusy, &M::m_objAckBusyTiming),
      ListRow(&P::cmbWebPrinter, &M::m_objWebPrinter),
      ListRow(&P::cmbInputPrime, &M::m_objResetNInitSignalIsON),
      ListRow(&P::cmbRibbonNearEnd, &M::m_objRibbonNearEnd),
      ListRow(&P::cmbExIoMode, &M::m_objExpansionIO),
      ListRow(&P::cmbPlugPlay, &M::m_objPlugAndPlay),
      ListRow(&P::cmbLblRbnEnd, &M::m_objLabelendRibbonend),
      ListRow(&P::cmbPrePeelOff, &M::m_objPreStrip),
      ListRow(&P::cmbBackSpeed, &M::m_objBackFeedSpeed),
      ListRow(&P::cmbMaxiCodeSpec, &M::m_objMaxiCodeSpecification),
      ListRow(&P::cmbKbIF, &M::m_objKeyboardIF),
      ListRow(&P::cmbPeelOffTrq, &M::m_objStripMotorTorque),
      SignedRow(&P::SeFeedAdj, &M::m_objFeedDirection, &M::m_objFeedAdjustment),
      SignedRow(&P::SeCutAdj, &M::m_objCutPosDirection, &M::m_objCutPosAdjustment),
      SignedRow(&P::SeBackAdj, &M::m_objBackFeedDirection, &M::m_objBackFeedAdjustment),
      SignedRow(&P::SeXAdj, &M::m_objXCoordinateDirection, &M::m_objXCoordinateAdjustment),
      SignedRow(&P::SeToneAdjT, &M::m_objToneDirection_T, &M::m_objToneAdjustment_T),
      SignedRow(&P::SeToneAdjD, &M::m_objToneDirection_D, &M::m_objToneAdjustment_D),
      SignedRow(&P::SeRbnAdjFw, &M::m_objRibbonMotorDirection_F, &M::m_objRibbonMotorAdjustment_F),
      SignedRow(&P::SeRbnAdjBk, &M::m_objRibbonMotorDirection_B, &M::m_objRibbonMotorAdjustment_B),
      ThresholdRow(&P::SeThresholdR, &M::m_objThresholdAdjustment_R),
      ThresholdRow(&P::SeThresholdT, &M::m_objThresholdAdjustment_T),
  };
  return table;
}

Value TextValue(const std::string& text) { return Value(text); }

}  // namespace

std::string GetDirectionSign(const Value& p_vValue) {
  double number = 0;
  ValueToNumber(p_vValue, number);
  return number < 0 ? "-" : "+";
}

bool RefreshParameterSettingItem(ParameterPage& page, CItemManager& items, bool p_bDefaultValue) {
  for (const Binding& row : Bindings()) {
    const Value value = (items.*row.item).GetValue(p_bDefaultValue);
    switch (row.kind) {
      case Kind::List:
      case Kind::FontCodeList: {
        QComboBox* list = page.*row.list;
        list->setCurrentIndex(ListPosition(value, *list));
        break;
      }
      case Kind::Signed: {
        // One text, the direction followed by the magnitude: "+0", "-012".
        const std::string text = ValueToText((items.*row.direction).GetValue(p_bDefaultValue)) + ValueToText(value);
        (page.*row.spin)->SetValue(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
        break;
      }
      case Kind::Threshold: {
        const std::string text = ValueToText(value);
        (page.*row.spin)->SetValue(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
        break;
      }
      case Kind::Hex:
        (page.*row.spin)->SetValue(ToVariant(value));
        break;
    }
  }
  return true;
}

bool UpdateParameterSettingItem(ParameterPage& page, CItemManager& items) {
  for (const Binding& row : Bindings()) {
    CItem& item = items.*row.item;
    switch (row.kind) {
      case Kind::List: {
        const int position = (page.*row.list)->currentIndex();
        if (position >= 0) item.SetValue(static_cast<int32_t>(position));
        break;
      }
      case Kind::FontCodeList: {
        const int position = (page.*row.list)->currentIndex();
        if (position >= 0) item.SetValue(TextValue(QString::number(position, 16).toUpper().toStdString()));
        break;
      }
      case Kind::Signed: {
        UCSpinEdit* spin = page.*row.spin;
        (items.*row.direction).SetValue(GetDirectionSign(TextValue(VariantText(spin->GetValue()))));
        item.SetValue(FromVariant(spin->GetValue()));
        break;
      }
      case Kind::Threshold:
        item.SetValue(TextValue(VariantText((page.*row.spin)->GetValue())));
        break;
      case Kind::Hex:
        item.SetValue(FromVariant((page.*row.spin)->GetValue()));
        break;
    }
  }
  return true;
}

}  // namespace dz
