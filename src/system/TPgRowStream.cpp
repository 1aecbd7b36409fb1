#include "TPgRowStream.h"

#include "EDBException.h"
#include "EDataSetError.h"
#include "TPgConnection.h"

#include <utility>

TPgRowStream::TPgRowStream(TPgConnection& connection, TPgResult first)
    : m_connection(&connection), m_current(std::move(first)) {
    const int columns = PQnfields(m_current.get());
    for (int i = 0; i < columns; ++i) {
        m_fields.push_back(TPgQuery::columnField(m_current.get(), i));
        m_types.push_back(PQftype(m_current.get(), i));
    }
    m_empty = PQntuples(m_current.get()) == 0;
    if (m_empty)
        m_current.reset();
}

TPgRowStream::~TPgRowStream() {
    if (!m_connection)
        return;
    try {
        while (m_connection && m_connection->streamResult()) {
        }
    } catch (...) {
        // Nobody reads this result any more; the connection reports its own state next time.
    }
}

void TPgRowStream::detach() {
    try {
        while (m_connection) {
            TPgResult result = m_connection->streamResult();
            if (!result)
                break;
            m_readAhead.push_back(std::move(result));
        }
    } catch (...) {
        m_failure = std::current_exception();
    }
    m_connection = nullptr;
}

void TPgRowStream::connectionGone() {
    if (!m_connection)
        return;
    m_connection = nullptr;
    m_failure = std::make_exception_ptr(
        EDBException(QStringLiteral("Соединение с сервером потеряно"), QStringLiteral("08006")));
}

TPgResult TPgRowStream::take() {
    if (!m_readAhead.empty()) {
        TPgResult result = std::move(m_readAhead.front());
        m_readAhead.pop_front();
        return result;
    }
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
    if (!m_connection)
        return {};
    TPgResult result = m_connection->streamResult();
    if (!result)
        m_connection = nullptr;
    return result;
}

void TPgRowStream::first() {
    if (m_position != 0)
        throw EDataSetError(QStringLiteral("Результат запроса читается только вперёд"));
}

void TPgRowStream::setPosition(int row) {
    if (row != m_position)
        throw EDataSetError(QStringLiteral("Результат запроса читается только вперёд"));
}

void TPgRowStream::next() {
    if (!m_current)
        return;
    ++m_position;
    if (++m_row < PQntuples(m_current.get()))
        return;
    m_row = 0;
    m_current.reset(); // a failure below leaves the stream at its end
    m_current = take();
}

QVariant TPgRowStream::value(int i) const {
    if (!m_current || PQgetisnull(m_current.get(), m_row, i))
        return {};
    return TPgQuery::textValue(m_types[std::size_t(i)], PQgetvalue(m_current.get(), m_row, i),
                               PQgetlength(m_current.get(), m_row, i));
}

void TPgRowStream::readRow(const std::vector<int>& columns, TRecordWriter& writer) const {
    TPgQuery::writeRow(m_current.get(), m_row, columns, m_types, writer);
}
