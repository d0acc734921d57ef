#include "dragdrop/ComboRightClick.h"

CComboRightClick::CComboRightClick(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    // The drop-down shows a long list without growing past the screen.
    setMaxVisibleItems(30);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(1);
}

CComboRightClick::~CComboRightClick() = default;
