#include "dragdrop/EntryLines.h"

#include <QComboBox>
#include <QListWidget>
#include <QListWidgetItem>

#include <algorithm>

namespace EntryLines {

namespace {

// The UTF-16 index just after the character that starts at `index`: a
// character outside the Basic Multilingual Plane is a surrogate pair; a
// lone surrogate counts as a character of its own.
qsizetype NextCharacter(QStringView text, qsizetype index) {
    const bool pair = text.at(index).isHighSurrogate() && index + 1 < text.size() &&
                      text.at(index + 1).isLowSurrogate();
    return index + (pair ? 2 : 1);
}

// Where character column `column` starts in `text`, in UTF-16 units; -1
// when the text has fewer characters than that.
qsizetype IndexOfColumn(QStringView text, qsizetype column) {
    qsizetype index = 0;
    for (qsizetype c = 0; c < column; ++c) {
        if (index >= text.size()) {
            return -1;
        }
        index = NextCharacter(text, index);
    }
    return index;
}

QString NameBefore(const QString& line, qsizetype column) {
    const qsizetype end = IndexOfColumn(line, column);
    QString name = end < 0 ? line : line.left(end);
    qsizetype length = name.size();
    while (length > 0 && name.at(length - 1) == QLatin1Char(' ')) {
        --length;
    }
    name.truncate(length);
    return name;
}

QString FromColumn(const QString& line, qsizetype column) {
    const qsizetype start = IndexOfColumn(line, column);
    return start < 0 ? QString() : line.mid(start);
}

// One allocation: the name (cut short at a whole character), spaces up to
// the key's column, an optional separator just before it, and the key
// (ASCII). Columns count characters.
QString ComposeLine(QStringView name, qsizetype keyColumn, QChar separator, QStringView key) {
    const qsizetype nameLimit = separator.isNull() ? keyColumn : keyColumn - 1;
    const qsizetype cut = IndexOfColumn(name, nameLimit);
    const QStringView kept = cut < 0 ? name : name.left(cut);
    qsizetype characters = 0;
    for (qsizetype index = 0; index < kept.size(); ++characters) {
        index = NextCharacter(kept, index);
    }
    const qsizetype padding = keyColumn - characters;
    QString line(kept.size() + padding + key.size(), QLatin1Char(' '));
    QChar* out = line.data();
    std::copy_n(kept.data(), kept.size(), out);
    if (!separator.isNull()) {
        out[kept.size() + padding - 1] = separator;
    }
    std::copy_n(key.data(), key.size(), out + kept.size() + padding);
    return line;
}

} // namespace

QString MakeCategoryLine(const QString& description, const QString& bracedCategoryId) {
    return ComposeLine(description, kCategoryKeyColumn, QChar(), bracedCategoryId);
}

QString MakeMnemonicLine(const QString& mnemonic, const QString& bracedPhraseId) {
    return ComposeLine(mnemonic, kMnemonicKeyColumn, QLatin1Char('\t'), bracedPhraseId);
}

QString MakeCategoryLine(const std::string& description, const std::string& bracedCategoryId) {
    return MakeCategoryLine(QString::fromStdString(description),
                            QString::fromStdString(bracedCategoryId));
}

QString MakeMnemonicLine(const std::string& mnemonic, const std::string& bracedPhraseId) {
    return MakeMnemonicLine(QString::fromStdString(mnemonic),
                            QString::fromStdString(bracedPhraseId));
}

QString CategoryKey(const QString& categoryLine) {
    return FromColumn(categoryLine, kCategoryKeyColumn);
}

QString MnemonicKey(const QString& mnemonicLine) {
    return FromColumn(mnemonicLine, kMnemonicKeyColumn);
}

QString CategoryName(const QString& categoryLine) {
    return NameBefore(categoryLine, kCategoryKeyColumn);
}

QString MnemonicName(const QString& mnemonicLine) {
    return NameBefore(mnemonicLine, kMnemonicTabColumn);
}

void AppendCategoryLine(QComboBox& combo, const QString& line) {
    combo.addItem(CategoryName(line), line);
}

QListWidgetItem* MakeMnemonicItem(const QString& line) {
    auto* item = new QListWidgetItem(MnemonicName(line));
    item->setData(LineRole, line);
    return item;
}

QString LineOf(const QListWidgetItem* item) {
    return item != nullptr ? item->data(LineRole).toString() : QString();
}

QString LineOf(const QComboBox& combo, int index) {
    if (index < 0 || index >= combo.count()) {
        return {};
    }
    return combo.itemData(index, LineRole).toString();
}

QString SelectedCategoryLine(const QComboBox& combo) {
    return LineOf(combo, combo.currentIndex());
}

} // namespace EntryLines
