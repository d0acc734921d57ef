#include "automation/LibraryScripting.h"

#include "automation/AutomationNames.h"
#include "store/CurrentDatabase.h"
#include "store/PasswordSource.h"

#include <QDBusMetaType>

#include <exception>

QDBusArgument& operator<<(QDBusArgument& argument, const ItemLookup::NamedKey& row) {
    argument.beginStructure();
    argument << row.name << row.key;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ItemLookup::NamedKey& row) {
    argument.beginStructure();
    argument >> row.name >> row.key;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const FoundItem& item) {
    argument.beginStructure();
    argument << item.key << item.reference;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, FoundItem& item) {
    argument.beginStructure();
    argument >> item.key >> item.reference;
    argument.endStructure();
    return argument;
}

CLibraryScripting::CLibraryScripting(QObject* parent) : QObject(parent) {
    qDBusRegisterMetaType<ItemLookup::NamedKey>();
    qDBusRegisterMetaType<NamedKeyList>();
    qDBusRegisterMetaType<FoundItem>();
    qDBusRegisterMetaType<FoundItemList>();
}

// Runs one request; what fails becomes the caller's D-Bus error, never an
// exception in the bus's dispatch.
namespace {

// The error answer of a call from the bus; a direct call just gets the
// empty result.
void Refuse(QDBusContext& context, const char* name, const QString& text) {
    if (context.calledFromDBus()) {
        context.sendErrorReply(QString::fromLatin1(name), text);
    }
}

} // namespace

template <typename Step>
auto CLibraryScripting::Answer(Step step) -> decltype(step()) {
    // A script is not the user at the palette: a server that wants a
    // password is answered with an error that says so, never with a
    // dialog (whose event loop would take the next call, and the next).
    const CNoOneToAsk noDialog;
    try {
        if (GetCurrentDatabasePath().empty()) {
            Refuse(*this, AutomationNames::kErrorLibrary,
                   QStringLiteral("No library is open yet."));
            return {};
        }
        return step();
    } catch (const ItemLookup::LookupError& error) {
        QString text = QString::fromStdString(error.what());
        if (!error.Candidates().isEmpty()) {
            text += QStringLiteral(" Keys: ") + error.Candidates().join(QStringLiteral(", "));
        }
        Refuse(*this,
               error.GetKind() == ItemLookup::LookupError::Kind::NotFound
                   ? AutomationNames::kErrorNotFound
                   : AutomationNames::kErrorAmbiguous,
               text);
    } catch (const std::exception& error) {
        Refuse(*this, AutomationNames::kErrorLibrary, QString::fromStdString(error.what()));
    }
    return {};
}

NamedKeyList CLibraryScripting::ListCategories() {
    return Answer([] {
        const auto rows = ItemLookup::Categories();
        return NamedKeyList(rows.begin(), rows.end());
    });
}

NamedKeyList CLibraryScripting::ListItems(const QString& category) {
    return Answer([&category] {
        const auto rows = ItemLookup::ItemsOf(category);
        return NamedKeyList(rows.begin(), rows.end());
    });
}

QString CLibraryScripting::Compose(const QString& item) {
    return Answer([&item] { return QString::fromStdString(ItemLookup::Compose(item)); });
}

FoundItemList CLibraryScripting::Find(const QString& words) {
    return Answer([&words] {
        FoundItemList found;
        for (const ItemLookup::NamedKey& item : ItemLookup::Find(words)) {
            found.push_back({item.key, item.name});
        }
        return found;
    });
}
