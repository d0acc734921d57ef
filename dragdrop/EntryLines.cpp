#include "dragdrop/EntryLines.h"

#include <QComboBox>
#include <QListWidget>
#include <QListWidgetItem>

#include <algorithm>

namespace EntryLines {

namespace {

QString NameBefore(const QString& line, int column) {
    QString name = line.left(column);
    qsizetype end = name.size();
    while (end > 0 && name.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    name.truncate(end);
    return name;
}

} // namespace

namespace {

// One allocation: the name (cut short), spaces up to the key's column, an
// optional separator just before it, and the key (ASCII).
QString ComposeLine(QStringView name, qsizetype keyColumn, QChar separator, QStringView key) {
    QString line(keyColumn + key.size(), QLatin1Char(' '));
    QChar* out = line.data();
    const qsizetype nameLimit = separator.isNull() ? keyColumn : keyColumn - 1;
    qsizetype length = std::min(name.size(), nameLimit);
    if (length < name.size() && length > 0 && name.at(length - 1).isHighSurrogate()) {
        --length; // never half a character
    }
    std::copy_n(name.data(), length, out);
    if (!separator.isNull()) {
        out[keyColumn - 1] = separator;
    }
    std::copy_n(key.data(), key.size(), out + keyColumn);
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
    return categoryLine.mid(kCategoryKeyColumn);
}

QString MnemonicKey(const QString& mnemonicLine) {
    return mnemonicLine.mid(kMnemonicKeyColumn);
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
