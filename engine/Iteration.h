#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// One text alternative of a phrase item: its text immediately followed by
// its one weight character, exactly the bytes that lie between two
// separators in the item's Data.
class CIteration {
public:
    explicit CIteration(std::string iteration) : m_strIteration(std::move(iteration)) {}
    virtual ~CIteration() = default;

    CIteration(const CIteration&) = default;
    CIteration& operator=(const CIteration&) = default;

    std::string m_strIteration;
};

// The iterations of one item in order (iteration 1 at index 0). The array
// owns its entries. Slots may hold null; every operation skips them.
class CIterationArray {
public:
    std::size_t GetSize() const { return m_entries.size(); }
    bool IsEmpty() const { return m_entries.empty(); }

    // The entry at index, or null for an empty slot. Throws
    // std::out_of_range for an index outside 0..size-1.
    CIteration* GetAt(std::size_t index) const { return m_entries.at(index).get(); }

    // Replaces the entry at index, deleting the one it held.
    void SetAt(std::size_t index, std::unique_ptr<CIteration> entry) {
        m_entries.at(index) = std::move(entry);
    }

    // Appends at the end (growing the array by one).
    void Add(std::unique_ptr<CIteration> entry) { m_entries.push_back(std::move(entry)); }

    // Grows with empty slots or shrinks, deleting the entries dropped.
    void SetSize(std::size_t size) { m_entries.resize(size); }

    // The growth step of the framework's array; the vector below grows
    // by itself, so the step changes nothing.
    void SetGrowBy(std::size_t) {}

    // Deletes every entry and empties the array.
    void RemoveAll() { m_entries.clear(); }

private:
    std::vector<std::unique_ptr<CIteration>> m_entries;
};
