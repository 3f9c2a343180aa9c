#pragma once

#include <QString>

// One message for the desktop's mail client: one recipient, one attached file.
struct MailMessage {
    QString recipient;  // passed unchanged; "" opens the compose window without one
    QString subject;    // "" leaves the subject empty
    QString body;       // any text, several lines included
    QString attachment; // path of the one attached file; made absolute before the hand-over
};
