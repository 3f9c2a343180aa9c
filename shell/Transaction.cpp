#include "shell/Transaction.h"

#include "shell/Db.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"

#include <QSqlError>

Transaction::Transaction()
{
    QSqlDatabase db = gConnection();
    if (!db.isOpen())
        throw ProviderError({});
    if (!db.transaction())
        throw ProviderError(Db::errorRecords(db.lastError()));
    m_open = true;
}

Transaction::~Transaction()
{
    if (m_open)
        gConnection().rollback();
}

void Transaction::commit()
{
    QSqlDatabase db = gConnection();
    if (!db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        m_open = false;
        throw ProviderError(Db::errorRecords(error));
    }
    m_open = false;
}
