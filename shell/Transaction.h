#pragma once

// A transaction on the shared connection: begun on construction, rolled back on destruction unless committed,
// so a failure anywhere in a save leaves nothing half-written and no transaction open.
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
