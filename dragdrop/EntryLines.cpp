#include "dragdrop/EntryLines.h"

#include "dragdrop/Characters.h"

#include <QComboBox>
#include <QListWidgetItem>

#include <algorithm>

namespace EntryLines {

namespace {

QString NameBefore(const QString& line, qsizetype column) {
    const qsizetype end = IndexOfCharacter(line, column);
    QString name = end < 0 ? line : line.left(end);
    qsizetype length = name.size();
    while (length > 0 && name.at(length - 1) == QLatin1Char(' ')) {
        --length;
    }
    name.truncate(length);
    return name;
}

QString FromColumn(const QString& line, qsizetype column) {
    const qsizetype start = IndexOfCharacter(line, column);
    return start < 0 ? QString() : line.mid(start);
}

// One allocation: the name (cut short at a whole character), spaces up to
// the key's column, an optional separator just before it, and the key
// (ASCII). Columns count characters.
QString ComposeLine(QStringView name, qsizetype keyColumn, QChar separator, QStringView key) {
    const qsizetype nameLimit = separator.isNull() ? keyColumn : keyColumn - 1;
    const qsizetype cut = IndexOfCharacter(name, nameLimit);
    const QStringView kept = cut < 0 ? name : name.left(cut);
    const qsizetype padding = keyColumn - CharacterCount(kept);
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

int IndexOfCategory(const QComboBox& combo, const QString& key) {
    for (int i = 0; i < combo.count() && !key.isEmpty(); ++i) {
        if (CategoryKey(LineOf(combo, i)).compare(key, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

} // namespace EntryLines
