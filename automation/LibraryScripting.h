#pragma once

#include "automation/ItemLookup.h"

#include <QDBusArgument>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>

// A name and a key on the bus: the structure (ss).
QDBusArgument& operator<<(QDBusArgument& argument, const ItemLookup::NamedKey& row);
const QDBusArgument& operator>>(const QDBusArgument& argument, ItemLookup::NamedKey& row);
using NamedKeyList = QList<ItemLookup::NamedKey>;
Q_DECLARE_METATYPE(ItemLookup::NamedKey)
Q_DECLARE_METATYPE(NamedKeyList)

// A found item on the bus: its key, then its name "Category/Mnemonic",
// the structure (ss).
struct FoundItem {
    QString key;
    QString reference;
};
QDBusArgument& operator<<(QDBusArgument& argument, const FoundItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, FoundItem& item);
using FoundItemList = QList<FoundItem>;
Q_DECLARE_METATYPE(FoundItem)
Q_DECLARE_METATYPE(FoundItemList)

// The library for scripts, on the bus as "Mumblet.Library": the categories
// and their items by name and key, and an item's text composed exactly as
// a drag of it would drop it. It reads the library the palette shows.
// Names that match nothing or more than one row, and database errors, are
// answered with D-Bus errors.
class CLibraryScripting : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Mumblet.Library")

public:
    explicit CLibraryScripting(QObject* parent = nullptr);

public slots:
    // (name, key) of every category, in the palette's order.
    Q_SCRIPTABLE NamedKeyList ListCategories();
    // (mnemonic, key) of every item of the category named by its name or
    // its key, in the palette's order.
    Q_SCRIPTABLE NamedKeyList ListItems(const QString& category);
    // The text of the item named by its key or "Category/Mnemonic".
    Q_SCRIPTABLE QString Compose(const QString& item);
    // (key, "Category/Mnemonic") of every item that holds all the words,
    // ignoring case and accents: mnemonic matches first, then the others,
    // each in the palette's order. Nothing found is an empty list.
    Q_SCRIPTABLE FoundItemList Find(const QString& words);

private:
    template <typename Step>
    auto Answer(Step step) -> decltype(step());
};
