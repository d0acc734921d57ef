#pragma once

#include "engine/Iteration.h"

#include <string>

// The model of one item's text alternatives: the iteration list, the
// separator and the item's Data text, with the operations that convert
// between Data and the list.
//
// Data is a run of records "text, weight character, |" with nothing before,
// between or after them. There is no escape, so a text can never hold "|".
// Strings are bytes; UTF-8 passes through unchanged because "|" never
// occurs inside a multi-byte character.
class CVerbiageIteration {
public:
    CVerbiageIteration() = default;
    virtual ~CVerbiageIteration();

    CVerbiageIteration(const CVerbiageIteration&) = delete;
    CVerbiageIteration& operator=(const CVerbiageIteration&) = delete;

    // Splits a stored iteration positionally: the last byte is the weight,
    // everything before it the text. An empty string gives two empty parts.
    static void SplitIteration(const std::string& iteration, std::string& text,
                               std::string& weight);

    // Appends one CIteration per non-empty record of m_strData to the list.
    // The list is not emptied first.
    void ParseData();

    // Replaces m_strData by the encoding of the list. Null entries and
    // entries whose text part is empty are left out.
    void BuildData();

    // Deletes every entry and empties the list.
    void ClearIterations();

    CIterationArray m_arrIterations;
    std::string m_strSeparator = "|";
    std::string m_strData;
};
