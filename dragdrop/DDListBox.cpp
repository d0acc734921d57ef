#include "dragdrop/DDListBox.h"

#include "dragdrop/EntryLines.h"
#include "dragdrop/PaletteHost.h"
#include "store/KeyHelpers.h"

#include <cstdint>
#include <exception>

CDDListBox::CDDListBox(QWidget* parent) : QListWidget(parent) {
    // Every entry has the same height: this lets the view lay out tens of
    // thousands of entries without measuring each one.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

CDDListBox::~CDDListBox() {
    try {
        if (m_rsPhrase.IsOpen()) {
            m_rsPhrase.Close();
        }
    } catch (const std::exception&) {
        // Nothing is written at close; a failure here has nothing to lose.
    }
}

void CDDListBox::OpenPhraseTable() {
    m_rsPhrase.Open();
    m_rsPhrase.SetCurrentIndex("PrimaryKey");
}

bool CDDListBox::SaveOrder() {
    const int n = count();
    for (int i = 0; i < n; ++i) {
        const std::string key = EntryLines::MnemonicKey(EntryLines::LineOf(item(i))).toStdString();
        if (m_rsPhrase.Seek("=", MakeSeekKey(key))) {
            m_rsPhrase.Edit();
            m_rsPhrase.m_ZOrder = static_cast<std::int16_t>(i);
            m_rsPhrase.Update();
        }
    }
    return true;
}

void CDDListBox::RecordListRect() {
    if (CPaletteHost* host = CPaletteHost::Of(this)) {
        host->SetListRect(QRect(mapToGlobal(QPoint(0, 0)), size()));
    }
}

void CDDListBox::ResetListRect() {
    if (CPaletteHost* host = CPaletteHost::Of(this)) {
        host->SetListRect(QRect(mapToGlobal(QPoint(-1, -1)), QSize(0, 0)));
    }
}

QRect CDDListBox::GetListRect() const {
    CPaletteHost* host = CPaletteHost::Of(const_cast<CDDListBox*>(this));
    return host != nullptr ? host->GetListRect() : QRect();
}
