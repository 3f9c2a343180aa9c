#include "shell/Transaction.h"

#include "shell/ConnectionPolicy.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"

Transaction::Transaction()
{
    if (!gConnection().isOpen())
        throw ProviderError({});
    ConnectionPolicy::begin();
    m_open = true;
}

Transaction::~Transaction()
{
    if (m_open)
        ConnectionPolicy::rollback();
}

void Transaction::commit()
{
    m_open = false;
    ConnectionPolicy::commit();
}
