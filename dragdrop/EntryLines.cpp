#include "dragdrop/EntryLines.h"

#include <QComboBox>
#include <QListWidget>
#include <QListWidgetItem>

namespace EntryLines {

namespace {

// The first `limit` characters of `name`, one fewer when the cut would
// separate the two halves of a surrogate pair.
QString CutAtColumn(const QString& name, int limit) {
    if (name.size() <= limit) {
        return name;
    }
    int end = limit;
    if (end > 0 && name.at(end - 1).isHighSurrogate()) {
        --end;
    }
    return name.left(end);
}

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

QString MakeCategoryLine(const QString& description, const QString& bracedCategoryId) {
    QString line = CutAtColumn(description, kCategoryKeyColumn);
    line.reserve(kCategoryKeyColumn + bracedCategoryId.size());
    line.append(QString(kCategoryKeyColumn - line.size(), QLatin1Char(' ')));
    line.append(bracedCategoryId);
    return line;
}

QString MakeMnemonicLine(const QString& mnemonic, const QString& bracedPhraseId) {
    QString line = CutAtColumn(mnemonic, kMnemonicTabColumn);
    line.reserve(kMnemonicKeyColumn + bracedPhraseId.size());
    line.append(QString(kMnemonicTabColumn - line.size(), QLatin1Char(' ')));
    line.append(QLatin1Char('\t'));
    line.append(bracedPhraseId);
    return line;
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
