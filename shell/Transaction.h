#pragma once

// A transaction on the shared connection: begun on construction, rolled back on destruction unless committed,
// so a failure anywhere in a save leaves nothing half-written and no transaction open. A message box shown inside
// it undoes it: its later statements and commit() throw, and nothing of the save is stored.
class Transaction
{
public:
    Transaction();
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    bool m_open = false;
};
