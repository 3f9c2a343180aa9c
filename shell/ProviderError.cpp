#include "shell/ProviderError.h"

ProviderError::ProviderError(QList<ErrorRecord> records)
    : std::runtime_error(records.isEmpty() ? std::string("provider error") : records.first().description.toStdString()),
      m_records(std::move(records))
{
}
