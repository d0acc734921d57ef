#pragma once

#include <QComboBox>

// The palette's category selector: a drop-down list of category lines (see
// EntryLines.h), in the order the library gives them. It shows each
// category's name; the whole line, key included, stays in the entry's data.
class CComboRightClick : public QComboBox {
    Q_OBJECT

public:
    explicit CComboRightClick(QWidget* parent = nullptr);
    ~CComboRightClick() override;
};
