#pragma once

#include <cstdint>
#include <string>
#include <variant>

class CDaoRecordset;

// A bound member: text, a 16-bit or a 32-bit integer (FieldKind's order).
using FieldMember = std::variant<std::string*, std::int16_t*, std::int32_t*>;

// Binds a recordset's members to its columns and parameters. Each recordset
// class lists its bound members in DoFieldExchange, in column order:
//
//   pFX->SetFieldType(CFieldExchange::outputColumn);
//   DFX_Text(pFX, "[Mnemonic]", m_Mnemonic);
//   DFX_Long(pFX, "[ZOrder]", m_ZOrder);
//   pFX->SetFieldType(CFieldExchange::param);
//   DFX_Text(pFX, "CATEGORYID", m_CATEGORYID);
//
// The recordset base runs DoFieldExchange with different operations
// (collect the column names, load a row into the members, read the members
// for a write, reset them); the members themselves are plain values.
class CFieldExchange {
public:
    enum FieldType { outputColumn, param };

    virtual ~CFieldExchange() = default;
    void SetFieldType(FieldType type) { m_fieldType = type; }
    FieldType GetFieldType() const { return m_fieldType; }

    // Called by DFX_Text, DFX_Short and DFX_Long for each member, with the
    // bracketed column name (or the parameter's name).
    virtual void Exchange(const char* name, FieldMember member) = 0;

private:
    FieldType m_fieldType = outputColumn;
};

inline void DFX_Text(CFieldExchange* pFX, const char* name, std::string& value) {
    pFX->Exchange(name, &value);
}
inline void DFX_Short(CFieldExchange* pFX, const char* name, std::int16_t& value) {
    pFX->Exchange(name, &value);
}
inline void DFX_Long(CFieldExchange* pFX, const char* name, std::int32_t& value) {
    pFX->Exchange(name, &value);
}
