#pragma once

#include "store/FILESTS_INFO.h"

#include <QString>
#include <QStringList>

#include <vector>

class CUserInterface;

// Hands exported files to the desktop's mail program as the attachments of a new mail, through xdg-email. Where
// no mail program is set up, the user is told so and shown the folder of the files instead, to attach by hand.
class CMailAttach {
public:
    enum class Result {
        Opened,        // the mail program took the files (or is still starting with them)
        NoMailProgram, // no xdg-email, or no mail program behind it: the folder was shown
        Failed,        // xdg-email refused the request: said so
    };
    struct Setup {
        QString program = QStringLiteral("xdg-email");
        int startMs = 5000;
        // A mail program that opens its window stays busy; past this it counts as having taken the files.
        int verdictMs = 5000;
    };

    // The subject and body of the mail: who called when, for every message attached.
    static QString Subject(const std::vector<FILESTS_INFO>& rows);
    static QString Body(const std::vector<FILESTS_INFO>& rows);

    static Result Send(CUserInterface& ui, const QStringList& files, const std::vector<FILESTS_INFO>& rows,
                       const QString& folder, const Setup& setup);
};
