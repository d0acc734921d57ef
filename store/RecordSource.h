#pragma once

#include <string>
#include <vector>

// The tables and views a recordset may open, with the columns it may bind.
// Recordsets put only these names into SQL text; everything else is bound.
struct RecordSource {
    struct Column {
        const char* name;
        // A key the database generates: read in the engine's wrapped form
        // "{guid {...}}" and never written.
        bool generatedKey;
    };
    struct Parameter {
        const char* name;   // as the recordset exchanges it, e.g. "CATEGORYID"
        const char* column; // the view column it must equal
    };

    const char* name;
    bool isTable;
    const char* primaryKey; // tables: the column of the index "PrimaryKey"
    std::vector<Column> columns;
    std::vector<Parameter> parameters;

    const Column* FindColumn(const std::string& column) const;
    const Parameter* FindParameter(const std::string& parameter) const;
};

// The source named by a recordset's default SQL ("[tblPhrase]" or
// "tblPhrase"), or null when it is none of ours.
const RecordSource* FindRecordSource(const std::string& defaultSql);
