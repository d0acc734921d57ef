#pragma once

#include "dragdrop/PointerQuery.h"

// The pointer as a test says it is: the offscreen platform has no server to
// ask. It installs itself for its lifetime.
class CScriptedPointer : public CPointerQuery {
public:
    CScriptedPointer() : m_previous(CPointerQuery::SetCurrent(this)) {}
    ~CScriptedPointer() override { CPointerQuery::SetCurrent(m_previous); }
    CScriptedPointer(const CScriptedPointer&) = delete;
    CScriptedPointer& operator=(const CScriptedPointer&) = delete;

    std::optional<State> Query() override { return state; }

    std::optional<State> state; // nothing: the window system can't tell

private:
    CPointerQuery* m_previous;
};
