#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CDaoRecordset;

// Stores each keyed row's new ZOrder through `table` (an open table
// recordset; `zOrder` its ZOrder member) in one transaction: all of them,
// or none and the error is thrown. Rows already in place are not written.
void SaveZOrders(CDaoRecordset& table, std::int32_t& zOrder,
                 const std::vector<std::pair<std::string, int>>& positions);
