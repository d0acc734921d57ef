#include "store/BoundFields.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <limits>

namespace {

std::string Unbracketed(const char* name) {
    std::string text(name);
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

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
        if (!column.isNull()) {
            const bool isShort = kind == FieldKind::Short;
            const qlonglong low = isShort ? std::numeric_limits<std::int16_t>::min()
                                          : std::numeric_limits<std::int32_t>::min();
            const qlonglong high = isShort ? std::numeric_limits<std::int16_t>::max()
                                           : std::numeric_limits<std::int32_t>::max();
            value.number = static_cast<std::int32_t>(std::clamp(column.toLongLong(), low, high));
        }
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

void CDescribeExchange::ExchangeText(const char* name, std::string&) {
    fields.push_back({Unbracketed(name), FieldKind::Text, GetFieldType() == param});
}

void CDescribeExchange::ExchangeShort(const char* name, std::int16_t&) {
    fields.push_back({Unbracketed(name), FieldKind::Short, GetFieldType() == param});
}

void CDescribeExchange::ExchangeLong(const char* name, std::int32_t&) {
    fields.push_back({Unbracketed(name), FieldKind::Long, GetFieldType() == param});
}

const FieldValue& CLoadExchange::Next() {
    return m_values.at(m_next++);
}

void CLoadExchange::ExchangeText(const char*, std::string& value) {
    if (GetFieldType() == outputColumn) {
        value = Next().text;
    }
}

void CLoadExchange::ExchangeShort(const char*, std::int16_t& value) {
    if (GetFieldType() == outputColumn) {
        value = static_cast<std::int16_t>(Next().number); // read clamped to 16 bits
    }
}

void CLoadExchange::ExchangeLong(const char*, std::int32_t& value) {
    if (GetFieldType() == outputColumn) {
        value = Next().number;
    }
}

FieldValue& CTakeExchange::Next() {
    return m_values.at(m_next++);
}

void CTakeExchange::ExchangeText(const char*, std::string& value) {
    if (GetFieldType() == outputColumn) {
        value = std::move(Next().text);
    }
}

void CTakeExchange::ExchangeShort(const char*, std::int16_t& value) {
    if (GetFieldType() == outputColumn) {
        value = static_cast<std::int16_t>(Next().number);
    }
}

void CTakeExchange::ExchangeLong(const char*, std::int32_t& value) {
    if (GetFieldType() == outputColumn) {
        value = Next().number;
    }
}

void CStoreExchange::ExchangeText(const char*, std::string& value) {
    Target().push_back({FieldKind::Text, value, 0});
}

void CStoreExchange::ExchangeShort(const char*, std::int16_t& value) {
    Target().push_back({FieldKind::Short, {}, value});
}

void CStoreExchange::ExchangeLong(const char*, std::int32_t& value) {
    Target().push_back({FieldKind::Long, {}, value});
}

void CResetExchange::ExchangeText(const char*, std::string& value) {
    if (GetFieldType() == outputColumn) {
        value.clear();
    }
}

void CResetExchange::ExchangeShort(const char*, std::int16_t& value) {
    if (GetFieldType() == outputColumn) {
        value = 0;
    }
}

void CResetExchange::ExchangeLong(const char*, std::int32_t& value) {
    if (GetFieldType() == outputColumn) {
        value = 0;
    }
}
