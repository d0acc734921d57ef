#include "store/ZOrderSave.h"

#include "store/DaoRecordset.h"

#include <exception>

void SaveZOrders(CDaoRecordset& table, std::int32_t& zOrder,
                 const std::vector<std::pair<std::string, int>>& positions) {
    table.BeginTrans();
    try {
        for (const auto& [key, position] : positions) {
            if (table.SeekKey(key) && zOrder != position) {
                table.Edit();
                zOrder = position;
                table.Update();
            }
        }
        table.CommitTrans();
    } catch (...) {
        try {
            table.Rollback();
        } catch (const std::exception&) {
            // The first error is the one worth telling; the transaction
            // ends with its connection anyway.
        }
        throw;
    }
}
