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

    // How a query's rows are read: the view's rows where the parameters
    // equal their columns, or a find's matches (FindQuery.h) or their count.
    enum class Reading { ViewRows, FindRows, FindCount };

    const char* name;
    bool isTable;
    const char* primaryKey; // tables: the column of the index "PrimaryKey"
    std::vector<Column> columns;
    std::vector<Parameter> parameters;
    Reading reading;

    const Column* FindColumn(const std::string& column) const;
    const Parameter* FindParameter(const std::string& parameter) const;
};

// The source named by a recordset's default SQL ("[tblPhrase]" or
// "tblPhrase"), or null when it is none of ours.
const RecordSource* FindRecordSource(const std::string& defaultSql);

// `name` without the brackets around it, if it has them.
std::string Unbracketed(const std::string& name);
