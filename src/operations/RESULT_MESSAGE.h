#pragma once

#include "platform/CUserInterface.h"

#include <QList>
#include <QString>

// One message box an operation ends with: what the result-message rules chose, shown later in order.
struct RESULT_MESSAGE {
    QString text;
    QString caption;
    MsgIcon icon = MsgIcon::Information;

    bool operator==(const RESULT_MESSAGE& other) const = default;

    static void ShowAll(CUserInterface& ui, const QList<RESULT_MESSAGE>& messages) {
        for (const RESULT_MESSAGE& m : messages) {
            ui.messageBox(m.text, m.caption, m.icon);
        }
    }
};
