#pragma once

#include "store/FieldExchange.h"

#include <QVariant>

#include <cstdint>
#include <string>
#include <vector>

// The recordset base's view of its bound members: what DoFieldExchange
// binds, and the values it exchanges in a form that can be compared (to
// find what an Update must write) and bound to a statement.

// How a member is exchanged: text, a 16-bit or a 32-bit integer.
enum class FieldKind : std::uint8_t { Text, Short, Long };

struct BoundField {
    std::string name; // without brackets
    FieldKind kind = FieldKind::Text;
    bool isParameter = false;
};

struct FieldValue {
    FieldKind kind = FieldKind::Text;
    std::string text;
    std::int32_t number = 0;

    friend bool operator==(const FieldValue&, const FieldValue&) = default;
};

using FieldValues = std::vector<FieldValue>;

// Text is bound as text when it is valid UTF-8 and as a blob otherwise, so
// that any bytes come back exactly as written.
QVariant ToBindValue(const FieldValue& value);
// A column as read: text (wrapped as "{guid ...}" for a generated key),
// a blob's bytes, or a number. A number beyond what the member holds is
// clamped to its range (never wrapped). NULL reads as "" or 0.
FieldValue FromColumn(const QVariant& column, FieldKind kind, bool wrapKey);

// Collects the bound members' names and kinds.
class CDescribeExchange : public CFieldExchange {
public:
    Operation GetOperation() const override { return DescribeFields; }
    void ExchangeText(const char* name, std::string& value) override;
    void ExchangeShort(const char* name, std::int16_t& value) override;
    void ExchangeLong(const char* name, std::int32_t& value) override;

    std::vector<BoundField> fields;
};

// Puts values into the output-column members, in exchange order; the
// parameter members are left alone.
class CLoadExchange : public CFieldExchange {
public:
    explicit CLoadExchange(const FieldValues& values) : m_values(values) {}
    Operation GetOperation() const override { return LoadFields; }
    void ExchangeText(const char* name, std::string& value) override;
    void ExchangeShort(const char* name, std::int16_t& value) override;
    void ExchangeLong(const char* name, std::int32_t& value) override;

private:
    const FieldValue& Next();
    const FieldValues& m_values;
    std::size_t m_next = 0;
};

// Moves values into the output-column members, in exchange order, leaving
// the values empty; the parameter members are left alone.
class CTakeExchange : public CFieldExchange {
public:
    explicit CTakeExchange(FieldValues& values) : m_values(values) {}
    Operation GetOperation() const override { return LoadFields; }
    void ExchangeText(const char* name, std::string& value) override;
    void ExchangeShort(const char* name, std::int16_t& value) override;
    void ExchangeLong(const char* name, std::int32_t& value) override;

private:
    FieldValue& Next();
    FieldValues& m_values;
    std::size_t m_next = 0;
};

// Reads the members: output columns and parameters apart.
class CStoreExchange : public CFieldExchange {
public:
    Operation GetOperation() const override { return StoreFields; }
    void ExchangeText(const char* name, std::string& value) override;
    void ExchangeShort(const char* name, std::int16_t& value) override;
    void ExchangeLong(const char* name, std::int32_t& value) override;

    FieldValues columns;
    FieldValues parameters;

private:
    FieldValues& Target() { return GetFieldType() == param ? parameters : columns; }
};

// Empties the output-column members (strings "", numbers 0).
class CResetExchange : public CFieldExchange {
public:
    Operation GetOperation() const override { return ResetFields; }
    void ExchangeText(const char* name, std::string& value) override;
    void ExchangeShort(const char* name, std::int16_t& value) override;
    void ExchangeLong(const char* name, std::int32_t& value) override;
};
