#pragma once

#include "frmTessarinMobileClient.h"

// Marks the time a socket event or a request is being handled: message boxes raised then
// become event lines, so that nothing waits for a user inside such a handler.
class HandlingScope {
public:
    explicit HandlingScope(frmTessarinMobileClient* form) : m_form(form) { ++m_form->m_handlingDepth; }
    ~HandlingScope() { --m_form->m_handlingDepth; }
    HandlingScope(const HandlingScope&) = delete;
    HandlingScope& operator=(const HandlingScope&) = delete;

private:
    frmTessarinMobileClient* m_form;
};
