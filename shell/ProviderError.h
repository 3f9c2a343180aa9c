#pragma once

#include <QList>
#include <QString>

#include <stdexcept>

// One error record of the shared connection: the provider's number and description.
struct ErrorRecord {
    int number = 0;
    QString description;
};

// Thrown by the statement helpers when the provider refuses a statement; carries the connection's error records
// (empty when the failure did not come from the provider, e.g. the connection is closed).
class ProviderError : public std::runtime_error
{
public:
    explicit ProviderError(QList<ErrorRecord> records);
    const QList<ErrorRecord>& records() const { return m_records; }

private:
    QList<ErrorRecord> m_records;
};
