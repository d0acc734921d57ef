#pragma once

#include "store/FieldExchange.h"

#include <QVariant>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The recordset base's view of its bound members: what DoFieldExchange
// binds, and the values it exchanges in a form that can be compared (to
// find what an Update must write) and bound to a statement.

// How a member is exchanged: text, a 16-bit or a 32-bit integer, in the
// order of FieldMember's alternatives.
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

// `number` clamped to the range of a `kind` member (never wrapped).
std::int32_t ClampedNumber(long long number, FieldKind kind);
// Sets a number member; a 16-bit one takes the number cut to 16 bits
// (a number read is clamped to the member's range already).
void SetNumber(FieldMember member, std::int32_t number);

// Collects the bound members' names and kinds.
class CDescribeExchange : public CFieldExchange {
public:
    void Exchange(const char* name, FieldMember member) override;

    std::vector<BoundField> fields;
};

// Moves values into the output-column members, in exchange order; the
// parameter members are left alone.
class CLoadExchange : public CFieldExchange {
public:
    explicit CLoadExchange(FieldValues values) : m_values(std::move(values)) {}
    void Exchange(const char* name, FieldMember member) override;

private:
    FieldValues m_values;
    std::size_t m_next = 0;
};

// Reads the members: output columns and parameters apart.
class CStoreExchange : public CFieldExchange {
public:
    void Exchange(const char* name, FieldMember member) override;

    FieldValues columns;
    FieldValues parameters;
};
