#include "store/RecordSource.h"

#include <array>
#include <iterator>

namespace {

const std::array<RecordSource, 6>& Sources() {
    static const std::array<RecordSource, 6> sources{{
        {"tblCategory",
         true,
         "CategoryID",
         {{"CategoryID", true},
          {"Description", false},
          {"ZOrder", false},
          {"strCategoryID", false}},
         {},
         RecordSource::Reading::ViewRows},
        {"tblPhrase",
         true,
         "PhraseID",
         {{"CategoryID", false},
          {"Data", false},
          {"Mnemonic", false},
          {"PhraseID", true},
          {"ZOrder", false},
          {"PunctuationLeading", false},
          {"PunctuationTrailing", false}},
         {},
         RecordSource::Reading::ViewRows},
        {"qryCategory",
         false,
         nullptr,
         {{"CategoryID", true}, {"Description", false}, {"ZOrder", false}},
         {},
         RecordSource::Reading::ViewRows},
        {"qryPhrasesInCategory",
         false,
         nullptr,
         {{"Mnemonic", false}, {"Data", false}, {"PhraseID", true}, {"ZOrder", false}},
         // FIRST and COUNT: a page of the rows (COUNT 0: all from FIRST).
         {{"CATEGORYID", "CategoryID"}, {"FIRST", nullptr}, {"COUNT", nullptr}},
         RecordSource::Reading::ViewRows},
        // Not views of the library: the statement is made for the words
        // (FindQuery.h). The parameters are the typed words and which group
        // of matches, then the first match and how many to read (0: all),
        // or for the count a ceiling (0: none).
        {"qryPhraseFind",
         false,
         nullptr,
         {{"PhraseID", true}, {"CategoryID", true}, {"Description", false}, {"Mnemonic", false}},
         {{"WORDS", nullptr}, {"GROUP", nullptr}, {"FIRST", nullptr}, {"COUNT", nullptr}},
         RecordSource::Reading::FindRows},
        {"qryPhraseFindCount",
         false,
         nullptr,
         {{"Found", false}},
         {{"WORDS", nullptr}, {"GROUP", nullptr}, {"CEILING", nullptr}},
         RecordSource::Reading::FindCount},
    }};
    return sources;
}

// The entry of `entries` called `name` (brackets aside), or null.
template <class Entries>
auto FindNamed(const Entries& entries, const std::string& name) -> decltype(&*std::begin(entries)) {
    const std::string wanted = Unbracketed(name);
    for (const auto& entry : entries) {
        if (wanted == entry.name) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

std::string Unbracketed(const std::string& name) {
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') {
        return name.substr(1, name.size() - 2);
    }
    return name;
}

const RecordSource::Column* RecordSource::FindColumn(const std::string& column) const {
    return FindNamed(columns, column);
}

const RecordSource::Parameter* RecordSource::FindParameter(const std::string& parameter) const {
    return FindNamed(parameters, parameter);
}

const RecordSource* FindRecordSource(const std::string& defaultSql) {
    return FindNamed(Sources(), defaultSql);
}
