#pragma once

#include "TMemoryData.h"

// A record set's notifications taken off for a scope (the window writes or loads records itself)
// and put back however the scope is left.
class TDetachedEvents {
public:
    explicit TDetachedEvents(TMemoryData& data) : m_data(data), m_saved(data.takeEvents()) {}
    ~TDetachedEvents() { m_data.setEvents(std::move(m_saved)); }
    TDetachedEvents(const TDetachedEvents&) = delete;
    TDetachedEvents& operator=(const TDetachedEvents&) = delete;

private:
    TMemoryData& m_data;
    TDataSetEvents m_saved;
};
