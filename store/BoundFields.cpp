#include "store/BoundFields.h"

#include "store/RecordSource.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <limits>
#include <type_traits>

namespace {

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

QVariant ToBindValue(const FieldValue& value) {
    if (value.kind != FieldKind::Text) {
        return QVariant(static_cast<int>(value.number));
    }
    const std::string& text = value.text;
    const auto size = static_cast<qsizetype>(text.size());
    if (IsAscii(text)) {
        return QVariant(QString::fromLatin1(text.data(), size));
    }
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    QString decoded = decoder.decode(QByteArrayView(text.data(), size));
    // A leading byte-order mark does not survive the text path (it is taken
    // for an encoding mark, not for the user's character), so such text
    // goes as bytes too.
    if (decoder.hasError() || text.starts_with("\xEF\xBB\xBF")) {
        return QVariant(QByteArray(text.data(), size));
    }
    return QVariant(decoded);
}

FieldValue FromColumn(const QVariant& column, FieldKind kind, bool wrapKey) {
    FieldValue value;
    value.kind = kind;
    if (kind != FieldKind::Text) {
        value.number = column.isNull() ? 0 : ClampedNumber(column.toLongLong(), kind);
        return value;
    }
    if (column.isNull()) {
        return value;
    }
    QByteArray bytes;
    if (column.typeId() == QMetaType::QByteArray) {
        bytes = column.toByteArray();
    } else {
        bytes = column.toString().toUtf8();
    }
    if (wrapKey) {
        value.text.reserve(static_cast<std::size_t>(bytes.size()) + 7);
        value.text = "{guid ";
        value.text.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        value.text += '}';
    } else {
        value.text.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    return value;
}

std::int32_t ClampedNumber(long long number, FieldKind kind) {
    const bool isShort = kind == FieldKind::Short;
    const long long low = isShort ? std::numeric_limits<std::int16_t>::min()
                                  : std::numeric_limits<std::int32_t>::min();
    const long long high = isShort ? std::numeric_limits<std::int16_t>::max()
                                   : std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(number, low, high));
}

void SetNumber(FieldMember member, std::int32_t number) {
    std::visit(
        [number](auto* target) {
            if constexpr (!std::is_same_v<decltype(target), std::string*>) {
                *target = static_cast<std::remove_pointer_t<decltype(target)>>(number);
            }
        },
        member);
}

void CDescribeExchange::Exchange(const char* name, FieldMember member) {
    fields.push_back(
        {Unbracketed(name), static_cast<FieldKind>(member.index()), GetFieldType() == param});
}

void CLoadExchange::Exchange(const char*, FieldMember member) {
    if (GetFieldType() != outputColumn) {
        return;
    }
    FieldValue& value = m_values.at(m_next++);
    if (auto* text = std::get_if<std::string*>(&member)) {
        **text = std::move(value.text);
    } else {
        SetNumber(member, value.number);
    }
}

void CStoreExchange::Exchange(const char*, FieldMember member) {
    FieldValue value{static_cast<FieldKind>(member.index()), {}, 0};
    std::visit(
        [&value](auto* source) {
            if constexpr (std::is_same_v<decltype(source), std::string*>) {
                value.text = *source;
            } else {
                value.number = *source;
            }
        },
        member);
    (GetFieldType() == param ? parameters : columns).push_back(std::move(value));
}
