#pragma once

#include "store/DaoRecordset.h"

// Closes a recordset on the way out of a scope, exceptions included, so an
// operation that fails halfway never leaves its recordset open. A failure
// of the close itself is swallowed: the error that unwinds is the one to
// tell, and a close writes nothing.
class CRecordsetCloser {
public:
    explicit CRecordsetCloser(CDaoRecordset& recordset) : m_recordset(recordset) {}
    ~CRecordsetCloser() {
        try {
            if (m_recordset.IsOpen()) {
                m_recordset.Close();
            }
        } catch (...) {
        }
    }
    CRecordsetCloser(const CRecordsetCloser&) = delete;
    CRecordsetCloser& operator=(const CRecordsetCloser&) = delete;

private:
    CDaoRecordset& m_recordset;
};
